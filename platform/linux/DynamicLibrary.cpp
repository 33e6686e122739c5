#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

DynamicLibrary* OpenDynamicLibrary(const std::string& path, std::string* error) {
    // A name without a slash would be searched for in the library path only, but a user who
    // types one means the file in the current folder.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        *error = reason ? reason : "unknown loader error";
    }
    return static_cast<DynamicLibrary*>(handle);
}

void CloseDynamicLibrary(DynamicLibrary* library) {
    if (library) {
        dlclose(library);
    }
}

void* FindLibrarySymbol(DynamicLibrary* library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}
