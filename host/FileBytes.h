#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads a whole file; false with the reason when it cannot be read, is a folder, or is larger
// than maxBytes (then nothing of it is read).
bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<unsigned char>* bytes,
                   std::string* error);

// Writes the bytes as the whole file; false with the reason on failure, leaving no file.
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                    std::string* error);
