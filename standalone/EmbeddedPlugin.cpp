#include "standalone/EmbeddedPlugin.h"

#include <cstring>

// The plug-in's entry, linked into this program rather than loaded from the module.
extern "C" AEffect* VSTPluginMain(AudioMasterCallback host);

namespace {

constexpr const char* kProductName = "Kelvorantumix standalone";

} // namespace

std::unique_ptr<EmbeddedPlugin> EmbeddedPlugin::Create(std::string* error) {
    AEffect* effect = VSTPluginMain(&EmbeddedPlugin::HostCallback);
    if (!effect || effect->magic != kEffectMagic) {
        *error = "the plug-in could not be created";
        return nullptr;
    }
    return std::unique_ptr<EmbeddedPlugin>(new EmbeddedPlugin(effect));
}

EmbeddedPlugin::~EmbeddedPlugin() {
    Dispatch(effClose);
}

VstIntPtr EmbeddedPlugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void EmbeddedPlugin::Open(double sampleRate, int blockSize) {
    Dispatch(effOpen);
    ChangeSampleRate(sampleRate);
    ChangeBlockSize(blockSize);
    // Speaker types: L is 1, R is 2; arrangement type 1 is stereo.
    VstSpeakerArrangement stereo{};
    stereo.type = 1;
    stereo.numChannels = 2;
    stereo.speakers[0].type = 1;
    stereo.speakers[1].type = 2;
    VstSpeakerArrangement outputs = stereo;
    Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&stereo), &outputs);
}

void EmbeddedPlugin::ChangeSampleRate(double sampleRate) {
    if (sampleRate_.exchange(sampleRate) == sampleRate) {
        return;
    }
    Dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
}

void EmbeddedPlugin::ChangeBlockSize(int frames) {
    if (blockSize_.exchange(frames) == frames) {
        return;
    }
    Dispatch(effSetBlockSize, 0, frames);
}

std::string EmbeddedPlugin::ParameterName(int index) {
    char name[256] = "";
    Dispatch(effGetParamName, index, 0, name);
    name[sizeof name - 1] = '\0';
    return name;
}

std::vector<unsigned char> EmbeddedPlugin::State() {
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) {
        return {};
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

bool EmbeddedPlugin::SetState(const std::vector<unsigned char>& state) {
    // The plug-in copies the bytes; it never writes to them.
    void* bytes = const_cast<unsigned char*>(state.data());
    return Dispatch(effSetChunk, 0, VstIntPtr(state.size()), bytes) == 1;
}

// Answers the plug-in as a plain host does. Called on the audio thread too, so it allocates
// nothing and takes no lock.
VstIntPtr EmbeddedPlugin::HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr,
                                       float) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetProductString:
        if (!ptr) {
            return 0;
        }
        std::strcpy(static_cast<char*>(ptr), kProductName);
        return 1;
    default:
        return 0;
    }
}
