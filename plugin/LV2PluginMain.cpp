// The LV2 binary's exported entry: the plug-in in stereo (two inputs) and with a mono input, over
// the same core. The build names the URIs (KVX_LV2_URI), as the bundle's Turtle files do.

#include "plugin/IPlugLV2.h"
#include "plugin/IPlugVST.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace {

constexpr const char* kStereoUri = KVX_LV2_URI;
constexpr const char* kMonoUri = KVX_LV2_URI ":mono";
constexpr IPlugLV2::StateUris kStateUris = {KVX_LV2_URI "#state", KVX_LV2_URI "#Chunk"};

// Serializes instantiation across the process, as the VST entry does.
std::mutex gCreationLock;

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
    std::lock_guard<std::mutex> hold(gCreationLock);
    try {
        // The effect made without a VST host: its binding then calls no host at all.
        std::unique_ptr<IPlugBase> core(MakePlug(nullptr));
        if (!core) {
            return nullptr;
        }
        const int audioInputs =
            descriptor && descriptor->URI && std::strcmp(descriptor->URI, kMonoUri) == 0 ? 1 : 2;
        return new IPlugLV2(std::move(core), audioInputs, sampleRate, features, kStateUris);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const LV2_Descriptor kDescriptors[] = {
    {kStereoUri, Instantiate, IPlugLV2::ConnectPort, IPlugLV2::Activate, IPlugLV2::Run,
     IPlugLV2::Deactivate, IPlugLV2::Cleanup, IPlugLV2::ExtensionData},
    {kMonoUri, Instantiate, IPlugLV2::ConnectPort, IPlugLV2::Activate, IPlugLV2::Run,
     IPlugLV2::Deactivate, IPlugLV2::Cleanup, IPlugLV2::ExtensionData},
};

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index < sizeof kDescriptors / sizeof kDescriptors[0] ? &kDescriptors[index] : nullptr;
}
