#pragma once

#include <string>
#include <vector>

// Whole files as bytes: state chunks and presets.
// Appends the file's bytes; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::vector<unsigned char>* bytes);
// Creates or replaces the file; false when it cannot be written completely.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
