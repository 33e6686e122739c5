#pragma once

#include "standalone/StandaloneOptions.h"

// Runs Kelvorantumix on JACK until the window is closed, a quit signal arrives or the server
// goes away; returns the exit status.
int RunStandalone(const StandaloneOptions& options);
