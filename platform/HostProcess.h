#pragma once

#include <string>

// The full file name of the program this module runs in; empty when it cannot be read.
std::string HostExecutablePath();

// The folder part of a full file name, ending with its separator; empty when the name is empty,
// holds no separator or ends with one.
std::string FolderOfPath(const std::string& path);
