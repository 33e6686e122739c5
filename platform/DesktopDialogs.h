#pragma once

#include <string>

// Questions put to the user, in front of the owner window (a native window handle, or null):
// on Windows through the system's own dialogs, on Linux through the desktop's dialog program
// (zenity, else kdialog). Each returns the negative answer when no such program is installed or
// the user cancels.

// A file to open (or to save when save is true), starting in folder. False and out empty when
// none was chosen.
bool AskDesktopForFile(void* owner, bool save, const std::string& folder, std::string* out);
// red, green and blue (0..255) hold the starting colour and receive the chosen one.
bool AskDesktopForColour(void* owner, const char* caption, int* red, int* green, int* blue);
// True only when the user answers yes.
bool AskDesktopYesNo(void* owner, const char* caption, const char* text);
void ShowDesktopMessage(void* owner, const char* caption, const char* text);
// Opens the link with the desktop's preferred program (Windows: the "open" verb once the machine
// is online; Linux: xdg-open); true when that succeeded.
bool OpenDesktopLink(void* owner, const char* url);
