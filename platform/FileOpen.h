#pragma once

#include <cstdio>

// Opens a file for reading in binary mode. path is UTF-8 on every system: on Windows it is
// opened by its wide-character name, so folders such as "Jörg" work, falling back to the byte
// path when the text is not valid UTF-8 or the wide open fails. Null when nothing opens.
std::FILE* OpenFileForReading(const char* path);
