#include "host/FourCharCode.h"

#include <cctype>
#include <cstdio>

std::string FourCharText(std::int32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((std::uint32_t(code) >> shift) & 0xFF);
        text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    return text;
}

std::string FourCharCodeText(std::int32_t code) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", unsigned(code));
    return FourCharText(code) + " (" + number + ")";
}
