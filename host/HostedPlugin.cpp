#include "host/HostedPlugin.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <thread>

namespace {

// The callback carries no user pointer, so instances are found by their AEffect. While an
// entry function runs, the AEffect is not known yet: calls then go to the instance being made.
std::mutex gRegistryMutex;
std::map<const AEffect*, HostedPlugin*> gRegistry;
HostedPlugin* gBeingCreated = nullptr;

HostedPlugin* InstanceFor(const AEffect* effect) {
    std::lock_guard<std::mutex> hold(gRegistryMutex);
    const auto found = gRegistry.find(effect);
    return found != gRegistry.end() ? found->second : gBeingCreated;
}

} // namespace

std::unique_ptr<HostedPlugin> HostedPlugin::Create(const PluginModule& module, std::string* error) {
    std::unique_ptr<HostedPlugin> plugin(new HostedPlugin());
    // One creation at a time, so early callbacks reach the right instance.
    static std::mutex creationMutex;
    std::lock_guard<std::mutex> creating(creationMutex);
    {
        std::lock_guard<std::mutex> hold(gRegistryMutex);
        gBeingCreated = plugin.get();
    }
    AEffect* effect = module.Entry()(&HostedPlugin::Callback);
    {
        std::lock_guard<std::mutex> hold(gRegistryMutex);
        gBeingCreated = nullptr;
        if (effect) {
            gRegistry[effect] = plugin.get();
        }
    }
    if (!effect) {
        *error = module.Path() + ": the entry function returned no plug-in";
        return nullptr;
    }
    plugin->effect_ = effect;
    if (effect->magic != kEffectMagic) {
        // Not a plug-in record: never call through it.
        std::lock_guard<std::mutex> hold(gRegistryMutex);
        gRegistry.erase(effect);
        plugin->effect_ = nullptr;
        *error = module.Path() + ": the entry function returned a record without the VstP magic";
        return nullptr;
    }
    return plugin;
}

LoadedPlugin LoadPlugin(const std::string& path, std::string* error) {
    LoadedPlugin loaded;
    loaded.module = PluginModule::Load(path, error);
    if (loaded.module) {
        loaded.plugin = HostedPlugin::Create(*loaded.module, error);
    }
    return loaded;
}

HostedPlugin::~HostedPlugin() {
    Close();
}

void HostedPlugin::Close() {
    if (!effect_) {
        return;
    }
    AEffect* effect = effect_;
    effect_ = nullptr;
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard<std::mutex> hold(gRegistryMutex);
    gRegistry.erase(effect);
}

VstIntPtr HostedPlugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void HostedPlugin::Open(double sampleRate, int blockSize) {
    Setup(sampleRate, blockSize);
    Resume();
}

void HostedPlugin::Setup(double sampleRate, int blockSize) {
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
    Dispatch(effSetBlockSize, 0, blockSize);
}

bool HostedPlugin::SetSpeakerArrangement(int inputs, int outputs) {
    // Speaker types: M is 0, L is 1, R is 2; arrangement types: mono is 0, stereo is 1.
    const auto arrange = [](int channels) {
        VstSpeakerArrangement arrangement{};
        arrangement.type = channels == 1 ? 0 : channels == 2 ? 1 : -2;
        arrangement.numChannels = channels;
        for (int i = 0; i < channels && i < 8; ++i) {
            arrangement.speakers[i].type = channels == 1 ? 0 : 1 + i;
        }
        return arrangement;
    };
    VstSpeakerArrangement in = arrange(inputs);
    VstSpeakerArrangement out = arrange(outputs);
    return Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out) == 1;
}

std::string HostedPlugin::ReadText(VstInt32 opcode, VstInt32 index) {
    char text[256] = "";
    Dispatch(opcode, index, 0, text);
    text[sizeof text - 1] = '\0';
    return text;
}

std::string HostedPlugin::ParamName(int index) {
    return ReadText(effGetParamName, index);
}
std::string HostedPlugin::ParamLabel(int index) {
    return ReadText(effGetParamLabel, index);
}
std::string HostedPlugin::ParamDisplay(int index) {
    return ReadText(effGetParamDisplay, index);
}
std::string HostedPlugin::ProgramName(int index) {
    return ReadText(effGetProgramNameIndexed, index);
}
std::string HostedPlugin::EffectName() {
    return ReadText(effGetEffectName, 0);
}
std::string HostedPlugin::VendorName() {
    return ReadText(effGetVendorString, 0);
}

std::vector<unsigned char> HostedPlugin::GetChunk(bool isBank) {
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effGetChunk, isBank ? 0 : 1, 0, &data);
    if (size <= 0 || !data) {
        return {};
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

bool HostedPlugin::SetChunk(const std::vector<unsigned char>& data, bool isBank) {
    std::vector<unsigned char> copy = data;
    return Dispatch(effSetChunk, isBank ? 0 : 1, VstIntPtr(copy.size()),
                    copy.empty() ? nullptr : copy.data()) == 1;
}

std::vector<HostedPlugin::HostCall> HostedPlugin::Calls() const {
    std::lock_guard<std::mutex> hold(callsMutex_);
    return calls_;
}

std::vector<HostedPlugin::HostCall> HostedPlugin::CallsWith(VstInt32 opcode) const {
    std::vector<HostCall> matching;
    for (const HostCall& call : Calls()) {
        if (call.opcode == opcode) {
            matching.push_back(call);
        }
    }
    return matching;
}

void HostedPlugin::ClearCalls() {
    std::lock_guard<std::mutex> hold(callsMutex_);
    calls_.clear();
    sentEvents_.clear();
}

std::vector<VstMidiEvent> HostedPlugin::SentEvents() const {
    std::lock_guard<std::mutex> hold(callsMutex_);
    return sentEvents_;
}

VstIntPtr HostedPlugin::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) {
    HostedPlugin* instance = InstanceFor(effect);
    if (!instance) {
        return opcode == audioMasterVersion ? 2400 : 0;
    }
    return instance->Answer(opcode, index, value, ptr, opt);
}

void HostedPlugin::AnswerWithGarbage(std::uint32_t seed) {
    std::lock_guard<std::mutex> hold(callsMutex_);
    garbage_ = true;
    garbageRandom_.seed(seed);
}

void HostedPlugin::AnswerSlowly(VstInt32 opcode, int milliseconds) {
    std::lock_guard<std::mutex> hold(callsMutex_);
    slowOpcode_ = opcode;
    slowMs_ = milliseconds;
}

VstIntPtr HostedPlugin::Garbage(VstInt32 opcode, void* ptr) {
    static const VstIntPtr kEdges[] = {-1,
                                       -10000,
                                       INT32_MIN,
                                       INT32_MAX,
                                       VstIntPtr(INTPTR_MIN),
                                       VstIntPtr(INTPTR_MAX),
                                       VstIntPtr(INTPTR_MAX / 3),
                                       0x7FFF0000};
    switch (opcode) {
    case audioMasterGetTime: {
        // A real record, as the plug-in may read it, holding random bytes: NaNs, negative
        // positions, impossible time signatures, every flag set.
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&garbageTime_);
        for (size_t i = 0; i < sizeof garbageTime_; ++i) {
            bytes[i] = static_cast<unsigned char>(garbageRandom_());
        }
        return reinterpret_cast<VstIntPtr>(&garbageTime_);
    }
    case audioMasterGetProductString:
        if (ptr) {
            // The whole 64 bytes the interface allows: 63 bytes of anything but a terminator.
            char* text = static_cast<char*>(ptr);
            for (int i = 0; i < 63; ++i) {
                text[i] = char(1 + garbageRandom_() % 255);
            }
            text[63] = '\0';
        }
        return kEdges[garbageRandom_() % std::size(kEdges)];
    default:
        return kEdges[garbageRandom_() % std::size(kEdges)];
    }
}

VstIntPtr HostedPlugin::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    int delayMs = 0;
    {
        std::lock_guard<std::mutex> hold(callsMutex_);
        calls_.push_back({opcode, index, value, opt});
        delayMs = opcode == slowOpcode_ ? slowMs_ : 0;
        if (garbage_) {
            return Garbage(opcode, ptr);
        }
        if (opcode == audioMasterProcessEvents && ptr) {
            const VstEvents* events = static_cast<const VstEvents*>(ptr);
            VstEvent* const* list = events->events;
            for (int i = 0; i < events->numEvents; ++i) {
                VstMidiEvent copy{};
                if (list[i]) {
                    std::memcpy(&copy, list[i], sizeof copy);
                }
                sentEvents_.push_back(copy);
            }
        }
    }
    if (delayMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    }
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(timeInfo_);
    case audioMasterProcessEvents:
        return processEventsAnswer_;
    case audioMasterGetProductString:
        if (ptr) {
            std::strncpy(static_cast<char*>(ptr), product_.c_str(), 63);
            static_cast<char*>(ptr)[63] = '\0';
        }
        return ptr ? 1 : 0;
    case audioMasterGetVendorVersion:
        return vendorVersion_;
    default:
        return 0;
    }
}
