#pragma once

#include <cstdint>
#include <string>

// A four-character code (unique IDs, file magics) as its four characters, '?' for bytes that
// are not printable: "Jmx2".
std::string FourCharText(std::int32_t code);

// The code with its number, as kvx-host shows plug-in IDs: "Jmx2 (0x4A6D7832)".
std::string FourCharCodeText(std::int32_t code);
