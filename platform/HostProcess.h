#pragma once

#include <string>

// The full file name of the program this module runs in; empty when it cannot be read.
std::string HostExecutablePath();
