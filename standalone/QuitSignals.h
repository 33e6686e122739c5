#pragma once

// Ctrl-C (SIGINT), SIGTERM and SIGHUP ask the program to end; the main loop looks for the
// request and ends cleanly, saving the settings, instead of dying in the middle.
void CatchQuitSignals();
// The signal that asked to quit, or 0.
int QuitSignal();
