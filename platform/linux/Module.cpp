#include "platform/Module.h"

#include <dlfcn.h>

#include <cstring>

namespace {

ModuleInfo gModule;
char gModulePath[4096];

// Runs when the dynamic loader maps the library (and, for a program, before main).
__attribute__((constructor)) void RecordThisModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&RecordThisModule), &info) && info.dli_fname) {
        std::strncpy(gModulePath, info.dli_fname, sizeof gModulePath - 1);
        gModule.path = gModulePath;
        gModule.handle = info.dli_fbase;
    }
}

} // namespace

const ModuleInfo& ThisModule() {
    return gModule;
}
