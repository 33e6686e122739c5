#include "platform/Resources.h"

#include <windows.h>

bool FindModuleResource(void* handle, const char* type, int id, const unsigned char** data,
                        size_t* size) {
    if (!type || !data || !size) {
        return false;
    }
    HMODULE module = static_cast<HMODULE>(handle);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        return false;
    }
    *data = static_cast<const unsigned char*>(bytes);
    *size = SizeofResource(module, found);
    return true;
}
