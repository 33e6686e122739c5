// The module's exported entry: one plug-in object per call.

#include "plugin/IPlugVST.h"

#include <mutex>
#include <new>

#define KVX_EXPORT extern "C" __attribute__((visibility("default"))) __attribute__((used))

namespace {
// Serializes instantiation across the process; it lives until the library unloads.
std::mutex gCreationLock;
} // namespace

KVX_EXPORT AEffect* VSTPluginMain(AudioMasterCallback host) {
    std::lock_guard<std::mutex> hold(gCreationLock);
    IPlugVST* plug = nullptr;
    try {
        plug = MakePlug(host);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!plug) {
        return nullptr;
    }
    plug->EnsureOneProgram();
    AEffect* effect = plug->Effect();
    if (effect->numPrograms < 1) {
        effect->numPrograms = 1;
    }
    return effect;
}

// Older hosts look the entry up under this name.
KVX_EXPORT AEffect* main_entry(AudioMasterCallback host) __asm__("main");
AEffect* main_entry(AudioMasterCallback host) {
    return VSTPluginMain(host);
}
