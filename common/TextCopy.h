#pragma once

#include <cstddef>
#include <cstring>

// Copies text into a fixed field of size bytes, cutting it to size - 1 characters and always
// terminating it. A null text copies as the empty text.
inline void CopyText(char* field, const char* text, size_t size) {
    if (!size) {
        return;
    }
    size_t n = text ? std::strlen(text) : 0;
    if (n > size - 1) {
        n = size - 1;
    }
    if (n) {
        std::memcpy(field, text, n);
    }
    field[n] = '\0';
}
