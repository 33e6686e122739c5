#include "platform/Module.h"

#include <windows.h>

namespace {
ModuleInfo gModule;
char gModulePath[MAX_PATH];
} // namespace

// The DLL's load-time entry records the instance handle on every notification.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    gModule.handle = instance;
    if (!*gModulePath && GetModuleFileNameA(instance, gModulePath, MAX_PATH)) {
        gModule.path = gModulePath;
    }
    return TRUE;
}

const ModuleInfo& ThisModule() {
    return gModule;
}
