#include "platform/DynamicLibrary.h"

#include <windows.h>

DynamicLibrary* OpenDynamicLibrary(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        char text[512] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       GetLastError(), 0, text, sizeof text, nullptr);
        *error = *text ? text : "unknown loader error";
        while (!error->empty() && (error->back() == '\n' || error->back() == '\r')) {
            error->pop_back();
        }
    }
    return reinterpret_cast<DynamicLibrary*>(module);
}

void CloseDynamicLibrary(DynamicLibrary* library) {
    if (library) {
        FreeLibrary(reinterpret_cast<HMODULE>(library));
    }
}

void* FindLibrarySymbol(DynamicLibrary* library, const char* name) {
    if (!library) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}
