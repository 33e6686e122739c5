#include "platform/FileOpen.h"

#include <windows.h>

namespace {

constexpr int kWidePathSize = 2048;

} // namespace

std::FILE* OpenFileForReading(const char* path) {
    if (!path) {
        return nullptr;
    }
    wchar_t widePath[kWidePathSize];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath, kWidePathSize) > 0) {
        if (std::FILE* file = _wfopen(widePath, L"rb")) {
            return file;
        }
    }
    return std::fopen(path, "rb");
}
