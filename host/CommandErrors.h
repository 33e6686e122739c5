#pragma once

#include <string>

// How kvx-host's commands end on an error. A mistake on the command line prints
// "kvx-host COMMAND: PROBLEM", a blank line and the command's usage, and gives exit code 2.
int UsageError(const char* command, const std::string& problem, const char* usage);

// A failure of the work itself prints "kvx-host: PROBLEM" and gives exit code 1.
int CommandFailure(const std::string& problem);
