// A small VST 2.x effect with a known frequency response, for testing the host's analysis and
// presets: one peaking equalizer of the audio cookbook's design on each channel. "Freq" spans
// 20 Hz to 20 kHz logarithmically, "Gain" -24 to +24 dB, "Q" 0.25 to 8 logarithmically. Its
// state is kept as a chunk ("KvBq" and the three normalized values), which it announces with
// effFlagsProgramChunks.

#include "plugin/VstAbi.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

enum { kFreq, kGain, kQ, kNumParams };
constexpr char kChunkMagic[4] = {'K', 'v', 'B', 'q'};

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

struct BiquadPlugin {
    AEffect effect{};
    float params[kNumParams] = {0.5f, 0.5f, 0.5f};
    double rate = 44100.0;
    Biquad filter;
    double state[2][2] = {}; // per channel, transposed direct form II
    unsigned char chunk[16] = {};
    char programName[32] = "Flat";
};

BiquadPlugin* Of(AEffect* effect) {
    return static_cast<BiquadPlugin*>(effect->object);
}

double Frequency(const BiquadPlugin* p) {
    return 20.0 * std::pow(1000.0, double(p->params[kFreq]));
}
double GainDb(const BiquadPlugin* p) {
    return -24.0 + 48.0 * double(p->params[kGain]);
}
double Quality(const BiquadPlugin* p) {
    return 0.25 * std::pow(32.0, double(p->params[kQ]));
}

void Design(BiquadPlugin* p) {
    const double a = std::pow(10.0, GainDb(p) / 40.0);
    const double w0 = 2.0 * M_PI * Frequency(p) / p->rate;
    const double alpha = std::sin(w0) / (2.0 * Quality(p));
    const double a0 = 1.0 + alpha / a;
    p->filter.b0 = (1.0 + alpha * a) / a0;
    p->filter.b1 = -2.0 * std::cos(w0) / a0;
    p->filter.b2 = (1.0 - alpha * a) / a0;
    p->filter.a1 = p->filter.b1;
    p->filter.a2 = (1.0 - alpha / a) / a0;
}

VstIntPtr GetChunk(BiquadPlugin* p, void** data) {
    std::memcpy(p->chunk, kChunkMagic, 4);
    std::memcpy(p->chunk + 4, p->params, sizeof p->params);
    *data = p->chunk;
    return sizeof p->chunk;
}

VstIntPtr SetChunk(BiquadPlugin* p, const void* data, VstIntPtr size) {
    float values[kNumParams];
    if (!data || size != 16 || std::memcmp(data, kChunkMagic, 4) != 0) {
        return 0;
    }
    std::memcpy(values, static_cast<const unsigned char*>(data) + 4, sizeof values);
    for (float v : values) {
        if (!(v >= 0.0f && v <= 1.0f)) {
            return 0;
        }
    }
    std::memcpy(p->params, values, sizeof values);
    Design(p);
    return 1;
}

VstIntPtr Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
    BiquadPlugin* p = Of(effect);
    char* text = static_cast<char*>(ptr);
    const char* const names[] = {"Freq", "Gain", "Q"};
    const char* const labels[] = {"Hz", "dB", ""};
    const bool valid = index >= 0 && index < kNumParams;
    switch (opcode) {
    case effClose:
        delete p;
        return 0;
    case effSetSampleRate:
        p->rate = opt;
        Design(p);
        return 0;
    case effMainsChanged:
        std::memset(p->state, 0, sizeof p->state);
        return 0;
    case effSetSpeakerArrangement:
        return 1;
    case effGetProgram:
        return 0;
    case effSetProgramName:
        std::snprintf(p->programName, sizeof p->programName, "%s", text);
        return 0;
    case effGetProgramName:
    case effGetProgramNameIndexed:
        std::strcpy(text, p->programName);
        return 1;
    case effGetParamName:
        std::strcpy(text, valid ? names[index] : "");
        return 0;
    case effGetParamLabel:
        std::strcpy(text, valid ? labels[index] : "");
        return 0;
    case effGetParamDisplay:
        if (valid) {
            const double shown = index == kFreq   ? Frequency(p)
                                 : index == kGain ? GainDb(p)
                                                  : Quality(p);
            std::snprintf(text, 8, "%.2f", shown);
        }
        return 0;
    case effGetChunk:
        return ptr ? GetChunk(p, static_cast<void**>(ptr)) : 0;
    case effSetChunk:
        return SetChunk(p, ptr, value);
    case effGetEffectName:
        std::strcpy(text, "Test Biquad");
        return 1;
    default:
        return 0;
    }
}

void SetParameter(AEffect* effect, VstInt32 index, float value) {
    if (index >= 0 && index < kNumParams) {
        Of(effect)->params[index] = value;
        Design(Of(effect));
    }
}

float GetParameter(AEffect* effect, VstInt32 index) {
    return index >= 0 && index < kNumParams ? Of(effect)->params[index] : 0.0f;
}

template <class Sample>
void Process(AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 frames) {
    BiquadPlugin* p = Of(effect);
    const Biquad& f = p->filter;
    for (int c = 0; c < 2; ++c) {
        double* z = p->state[c];
        for (VstInt32 i = 0; i < frames; ++i) {
            const double x = inputs[c][i];
            const double y = f.b0 * x + z[0];
            z[0] = f.b1 * x - f.a1 * y + z[1];
            z[1] = f.b2 * x - f.a2 * y;
            outputs[c][i] = Sample(y);
        }
    }
}

void ProcessFloat(AEffect* effect, float** in, float** out, VstInt32 frames) {
    Process(effect, in, out, frames);
}

void ProcessDouble(AEffect* effect, double** in, double** out, VstInt32 frames) {
    Process(effect, in, out, frames);
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(AudioMasterCallback) {
    BiquadPlugin* plugin = new BiquadPlugin();
    Design(plugin);
    AEffect& effect = plugin->effect;
    effect.magic = kEffectMagic;
    effect.dispatcher = Dispatcher;
    effect.setParameter = SetParameter;
    effect.getParameter = GetParameter;
    effect.numPrograms = 1;
    effect.numParams = kNumParams;
    effect.numInputs = 2;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
    effect.object = plugin;
    effect.uniqueID = 0x4B764271; // 'KvBq'
    effect.version = 3;
    effect.processReplacing = ProcessFloat;
    effect.processDoubleReplacing = ProcessDouble;
    return &effect;
}
