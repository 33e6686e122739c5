// A small VST 2.x effect whose output is easy to predict, for testing the host: out = gain x in
// with gain = 2 x "Gain", silence when "Mute" is On, and "Route" passing the channels straight,
// swapped, or both as their sum. When KVX_TEST_LOG names a file, every call from the host is
// appended to it, one line each. KVX_TEST_SIGNAL_AT=FRAME:SIGNAL raises the signal in the first
// block that reaches FRAME, as a user pressing Ctrl-C or a crashing plug-in would.

#include "plugin/VstAbi.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum { kGain, kMute, kRoute, kNumParams };
const char* const kRoutes[] = {"Straight", "Swap", "Mono sum"};

struct GainPlugin {
    AEffect effect{};
    AudioMasterCallback host = nullptr;
    float params[kNumParams] = {0.5f, 0.0f, 0.0f};
    int inputs = 2;
    int outputs = 2;
};

GainPlugin* Of(AEffect* effect) {
    return static_cast<GainPlugin*>(effect->object);
}

void Log(const char* format, double a = 0, double b = 0) {
    const char* path = std::getenv("KVX_TEST_LOG");
    if (!path || !*path) {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, format, a, b);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

int RouteOf(const GainPlugin* plugin) {
    const int route = int(plugin->params[kRoute] * 3.0f);
    return route > 2 ? 2 : route;
}

void Display(const GainPlugin* plugin, int index, char* text) {
    if (index == kGain) {
        std::snprintf(text, 8, "%.2f", 2.0 * plugin->params[kGain]);
    } else if (index == kMute) {
        std::strcpy(text, plugin->params[kMute] >= 0.5f ? "On" : "Off");
    } else {
        std::strcpy(text, kRoutes[RouteOf(plugin)]);
    }
}

VstIntPtr Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
    GainPlugin* plugin = Of(effect);
    char* text = static_cast<char*>(ptr);
    const char* const names[] = {"Gain", "Mute", "Route"};
    switch (opcode) {
    case effOpen:
        Log("open");
        return 0;
    case effClose:
        Log("close");
        delete plugin;
        return 0;
    case effSetSampleRate:
        Log("rate %.0f", opt);
        return 0;
    case effSetBlockSize:
        Log("block %.0f", double(value));
        return 0;
    case effMainsChanged:
        Log("mains %.0f", double(value));
        return 0;
    case effSetSpeakerArrangement: {
        const auto* in = reinterpret_cast<const VstSpeakerArrangement*>(value);
        const auto* out = static_cast<const VstSpeakerArrangement*>(ptr);
        Log("arrangement %.0f %.0f", in->numChannels, out->numChannels);
        plugin->inputs = in->numChannels;
        plugin->outputs = out->numChannels;
        return 1;
    }
    case effGetParamName:
        std::strcpy(text, index >= 0 && index < kNumParams ? names[index] : "");
        return 0;
    case effGetParamLabel:
        std::strcpy(text, index == kGain ? "x" : "");
        return 0;
    case effGetParamDisplay:
        if (index >= 0 && index < kNumParams) {
            Display(plugin, index, text);
        }
        return 0;
    case effGetEffectName:
        std::strcpy(text, "Test Gain");
        return 1;
    default:
        return 0;
    }
}

void SetParameter(AEffect* effect, VstInt32 index, float value) {
    if (index >= 0 && index < kNumParams) {
        Of(effect)->params[index] = value;
    }
}

float GetParameter(AEffect* effect, VstInt32 index) {
    return index >= 0 && index < kNumParams ? Of(effect)->params[index] : 0.0f;
}

template <class Sample>
void Process(AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 frames,
             const char* what) {
    GainPlugin* plugin = Of(effect);
    const auto* time = reinterpret_cast<const VstTimeInfo*>(
        plugin->host(effect, audioMasterGetTime, 0, 0, nullptr, 0.0f));
    Log(what, frames, time ? time->samplePos : -1.0);
    long at = 0;
    int number = 0;
    const char* trigger = std::getenv("KVX_TEST_SIGNAL_AT");
    if (trigger && time && std::sscanf(trigger, "%ld:%d", &at, &number) == 2 &&
        time->samplePos <= double(at) && double(at) < time->samplePos + frames) {
        std::raise(number);
    }
    const double gain = plugin->params[kMute] >= 0.5f ? 0.0 : 2.0 * plugin->params[kGain];
    const int channels = plugin->outputs < 2 ? 1 : 2;
    const int route = channels == 2 ? RouteOf(plugin) : 0;
    for (VstInt32 i = 0; i < frames; ++i) {
        const double left = inputs[0][i];
        const double right = channels == 2 ? double(inputs[1][i]) : 0.0;
        const double outLeft = route == 0 ? left : route == 1 ? right : left + right;
        const double outRight = route == 0 ? right : route == 1 ? left : left + right;
        outputs[0][i] = Sample(gain * outLeft);
        if (channels == 2) {
            outputs[1][i] = Sample(gain * outRight);
        }
    }
}

void ProcessFloat(AEffect* effect, float** in, float** out, VstInt32 frames) {
    Process(effect, in, out, frames, "process %.0f at %.0f");
}

void ProcessDouble(AEffect* effect, double** in, double** out, VstInt32 frames) {
    Process(effect, in, out, frames, "processDouble %.0f at %.0f");
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(AudioMasterCallback host) {
    GainPlugin* plugin = new GainPlugin();
    plugin->host = host;
    AEffect& effect = plugin->effect;
    effect.magic = kEffectMagic;
    effect.dispatcher = Dispatcher;
    effect.setParameter = SetParameter;
    effect.getParameter = GetParameter;
    effect.numPrograms = 1;
    effect.numParams = kNumParams;
    effect.numInputs = 2;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
    effect.object = plugin;
    effect.uniqueID = 0x4B764761; // 'KvGa'
    effect.version = 2;
    effect.processReplacing = ProcessFloat;
    effect.processDoubleReplacing = ProcessDouble;
    return &effect;
}
