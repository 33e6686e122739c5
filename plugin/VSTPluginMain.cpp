// The module's exported entry: one plug-in object per call.

#include "plugin/IPlugVST.h"

#include <mutex>
#include <new>

namespace {
// Serializes instantiation across the process; it lives until the library unloads.
std::mutex gCreationLock;
} // namespace

extern "C" KVX_EXPORT AEffect* VSTPluginMain(AudioMasterCallback host) {
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
