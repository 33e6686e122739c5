#include "common/FormatNumber.h"

#include <charconv>

// std::to_chars never consults the locale and rounds exactly as printf does.

void FormatInteger(int value, char* out) {
    const auto result = std::to_chars(out, out + 11, value);
    *result.ptr = '\0';
}

void FormatFixed(double value, int decimals, char* out, int size) {
    if (size <= 0) {
        return;
    }
    const auto result =
        std::to_chars(out, out + size - 1, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        // Too long for the field (a huge value): print the integer part's scientific form instead.
        const auto fallback = std::to_chars(out, out + size - 1, value);
        *(fallback.ec == std::errc() ? fallback.ptr : out) = '\0';
        return;
    }
    *result.ptr = '\0';
}
