#include "common/FormatNumber.h"

#include <charconv>
#include <cstring>

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

double ParseLeadingNumber(const char* text) {
    if (!text) {
        return 0.0;
    }
    const char* first = text;
    while (*first == ' ' || (*first >= '\t' && *first <= '\r')) {
        ++first;
    }
    if (*first == '+') {
        ++first;
    }
    double value = 0.0;
    const auto parsed = std::from_chars(first, first + std::strlen(first), value);
    return parsed.ec == std::errc() ? value : 0.0;
}
