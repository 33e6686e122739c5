#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes 0xAARRGGBB pixels as an 8-bit RGB PNG: row y starts at top + y x rowStep (negative
// for rows stored bottom-up). False when the file cannot be written.
bool WritePng(const std::string& path, const std::uint32_t* top, std::ptrdiff_t rowStep, int width,
              int height);
