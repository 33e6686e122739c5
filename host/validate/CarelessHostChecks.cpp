#include "host/validate/AudioRun.h"
#include "host/validate/GuardedChannels.h"
#include "host/validate/Validation.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

// What careless and hostile hosts do: text buffers no larger than the interface promises,
// overlong names, chunks handed back at the plug-in's own address, absurd speaker counts,
// garbage answers, null channel buffers and buffers that end where the host's memory ends.

namespace {

constexpr unsigned char kGuardByte = 0x5A;
constexpr size_t kGuardSize = 256;

// Asks for a text into a buffer of exactly size bytes followed by guard bytes. Returns the
// number of bytes written past the buffer (0 when it fitted) and the text.
size_t AskTextIn(HostedPlugin& plugin, VstInt32 opcode, VstInt32 index, size_t size,
                 std::string* text) {
    std::vector<unsigned char> buffer(size + kGuardSize, kGuardByte);
    buffer[0] = 0;
    plugin.Dispatch(opcode, index, 0, buffer.data());
    size_t overrun = 0;
    for (size_t i = size; i < buffer.size(); ++i) {
        if (buffer[i] != kGuardByte) {
            overrun = i - size + 1;
        }
    }
    buffer.back() = 0;
    *text = reinterpret_cast<const char*>(buffer.data());
    return overrun;
}

struct TextCall {
    const char* what;
    VstInt32 opcode;
    size_t size;
};

void CheckTextBuffers(Validation& v, HostedPlugin& plugin) {
    const AEffect* e = plugin.Effect();
    const TextCall whole[] = {{"effect name", effGetEffectName, 32},
                              {"vendor", effGetVendorString, 64},
                              {"product", effGetProductString, 64},
                              {"program name", effGetProgramName, 24}};
    std::string problem, text;
    for (const TextCall& call : whole) {
        if (const size_t over = AskTextIn(plugin, call.opcode, 0, call.size, &text)) {
            problem = Figure("%s: %zu bytes past %zu", call.what, over, call.size);
        }
    }
    for (int p = 0; p < e->numPrograms && problem.empty(); ++p) {
        if (const size_t over = AskTextIn(plugin, effGetProgramNameIndexed, p, 24, &text)) {
            problem = Figure("program %d name: %zu bytes past 24", p, over);
        }
    }
    v.Report("careless host: texts fit the promised buffers", problem.empty(),
             problem.empty() ? "names 32, vendor and product 64, programs 24" : problem);

    // Parameter texts are promised 8 bytes only, but hosts give far more, and plug-ins count on
    // it: longer ones are worth knowing, not a failure.
    std::string longTexts;
    for (int i = 0; i < e->numParams; ++i) {
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            if (AskTextIn(plugin, opcode, i, 8, &text)) {
                longTexts += (longTexts.empty() ? "\"" : ", \"") + text + "\"";
            }
        }
    }
    if (longTexts.empty()) {
        v.Report("careless host: parameter texts fit 8 bytes", true,
                 Figure("%d parameters", e->numParams));
    } else {
        v.Warn("careless host: parameter texts fit 8 bytes", "longer: " + longTexts);
    }
}

void CheckOverlongProgramName(Validation& v, HostedPlugin& plugin) {
    std::string name(300, 'k');
    plugin.Dispatch(effSetProgramName, 0, 0, &name[0]);
    std::string text;
    const size_t over = AskTextIn(plugin, effGetProgramName, 0, 24, &text);
    const size_t overIndexed = AskTextIn(plugin, effGetProgramNameIndexed, 0, 24, &text);
    v.Report("careless host: 300-character program name", over == 0 && overIndexed == 0,
             over || overIndexed ? Figure("%zu bytes written past 24", over ? over : overIndexed)
                                 : Figure("read back as %zu characters", text.size()));
}

// Hosts that store chunks may hand the plug-in's own buffer straight back to it.
void CheckOwnChunk(Validation& v, HostedPlugin& plugin) {
    const std::vector<float> before = ParameterValues(plugin);
    void* data = nullptr;
    const VstIntPtr size = plugin.Dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) {
        v.Skip("careless host: chunk handed back in place", "the plug-in gives no chunk");
        return;
    }
    for (int i = 0; i < plugin.Effect()->numParams; ++i) {
        plugin.SetParameter(i, 1.0f - before[size_t(i)]);
    }
    const bool restored =
        plugin.Dispatch(effSetChunk, 0, size, data) == 1 && ParameterValues(plugin) == before;
    // Part of its own buffer: whatever the plug-in makes of it, the values stay in range.
    data = nullptr;
    const VstIntPtr again = plugin.Dispatch(effGetChunk, 0, 0, &data);
    if (again > 8 && data) {
        plugin.Dispatch(effSetChunk, 0, again - 8, static_cast<char*>(data) + 8);
    }
    bool ranged = true;
    for (float x : ParameterValues(plugin)) {
        ranged = ranged && std::isfinite(x) && x >= 0.0f && x <= 1.0f;
    }
    v.Report("careless host: chunk handed back in place", restored && ranged,
             Figure("%ld bytes at its own address %s, at +8 %s", long(size),
                    restored ? "restored" : "NOT restored", ranged ? "in range" : "OUT of range"));
}

// One stereo-sized call on the float path; the outputs must be finite.
bool ProcessFinite(HostedPlugin& plugin, int frames) {
    const int ins = plugin.Effect()->numInputs, outs = plugin.Effect()->numOutputs;
    GuardedChannels<float> in(ins, frames), out(outs, frames);
    if (!in.Valid() || !out.Valid()) {
        return false;
    }
    for (int c = 0; c < ins; ++c) {
        for (int i = 0; i < frames; ++i) {
            in.Channel(c)[i] = 0.25f * std::sin(0.05f * float(i + c));
        }
    }
    plugin.ProcessFloat(in.Pointers(), out.Pointers(), frames);
    bool finite = true;
    for (int c = 0; c < outs; ++c) {
        for (int i = 0; i < frames; ++i) {
            finite = finite && std::isfinite(out.Channel(c)[i]);
        }
    }
    return finite;
}

void CheckAbsurdArrangements(Validation& v, HostedPlugin& plugin) {
    const int counts[] = {INT_MIN, -1, 0, INT_MAX, 1 << 30};
    for (int count : counts) {
        VstSpeakerArrangement in{};
        VstSpeakerArrangement out{};
        in.numChannels = count;
        out.numChannels = count;
        plugin.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
        ProcessFinite(plugin, 64);
    }
    plugin.SetSpeakerArrangement(plugin.Effect()->numInputs, plugin.Effect()->numOutputs);
    v.Report("careless host: absurd speaker counts", ProcessFinite(plugin, 64),
             "INT_MIN, -1, 0, INT_MAX, 2^30 channels, then the plug-in's own");
}

template <class Sample> bool NullChannelCalls(HostedPlugin& plugin, int frames) {
    const int ins = plugin.Effect()->numInputs, outs = plugin.Effect()->numOutputs;
    GuardedChannels<Sample> in(ins, frames), out(outs, frames);
    if (!in.Valid() || !out.Valid()) {
        return false;
    }
    std::vector<Sample*> noInputs(size_t(ins), nullptr);
    std::vector<Sample*> someOutputs(out.Pointers(), out.Pointers() + outs);
    if (!someOutputs.empty()) {
        someOutputs.front() = nullptr;
    }
    AEffect* e = plugin.Effect();
    bool finite = true;
    for (int round = 0; round < 2; ++round) {
        Sample** inputs = round == 0 ? noInputs.data() : in.Pointers();
        Sample** outputs = round == 0 ? out.Pointers() : someOutputs.data();
        if constexpr (sizeof(Sample) == sizeof(double)) {
            e->processDoubleReplacing(e, inputs, outputs, frames);
        } else {
            e->processReplacing(e, inputs, outputs, frames);
        }
        for (int c = round == 0 ? 0 : 1; c < outs; ++c) {
            for (int i = 0; i < frames; ++i) {
                finite = finite && std::isfinite(out.Channel(c)[i]);
            }
        }
    }
    return finite;
}

} // namespace

void CheckNullChannels(Validation& v) {
    auto plugin = v.NewPlugin("null channels: instantiate");
    if (!plugin) {
        return;
    }
    StartPlugin(*plugin, 44100.0, 256);
    bool finite = NullChannelCalls<float>(*plugin, 256);
    if (HasDoublePath(*plugin)) {
        finite = NullChannelCalls<double>(*plugin, 256) && finite;
    }
    v.Report("null channels: null channel buffers", finite,
             HasDoublePath(*plugin) ? "float and double paths" : "float path");
}

// Buffers of exactly the frames of each call end at an inaccessible page: any overrun faults.
void CheckGuardedBuffers(Validation& v) {
    auto plugin = v.NewPlugin("guarded buffers: instantiate");
    if (!plugin) {
        return;
    }
    const int maxBlock = 256;
    StartPlugin(*plugin, 44100.0, maxBlock);
    const int sizes[] = {1, 7, 64, maxBlock - 1, maxBlock, 3 * maxBlock + 5, 0};
    AEffect* e = plugin->Effect();
    const int ins = e->numInputs, outs = e->numOutputs;
    bool finite = true;
    int calls = 0;
    for (int frames : sizes) {
        finite = ProcessFinite(*plugin, frames) && finite;
        ++calls;
        if (HasDoublePath(*plugin)) {
            GuardedChannels<double> in(ins, frames), out(outs, frames);
            e->processDoubleReplacing(e, in.Pointers(), out.Pointers(), frames);
            ++calls;
        }
        if (e->process) {
            GuardedChannels<float> in(ins, frames), out(outs, frames);
            e->process(e, in.Pointers(), out.Pointers(), frames);
            ++calls;
        }
    }
    v.Report("guarded buffers: every call against an inaccessible page", finite,
             Figure("%d calls of 0 to %d frames", calls, 3 * maxBlock + 5));
}

void CheckGarbageAnswers(Validation& v) {
    auto plugin = v.NewPlugin("garbage answers: instantiate");
    if (!plugin) {
        return;
    }
    const std::uint32_t seed = v.NextCaseSeed();
    plugin->AnswerWithGarbage(seed);
    plugin->Open(48000.0, 256);
    for (int i = 0; i < plugin->Effect()->numParams; ++i) {
        plugin->SetParameter(i, 0.75f);
    }
    bool finite = true;
    for (int call = 0; call < 8; ++call) {
        finite = ProcessFinite(*plugin, 256) && finite;
    }
    plugin->GetChunk(true);
    plugin->Suspend();
    plugin->Resume();
    v.Report(
        "garbage answers: to every call back", finite,
        Figure("%zu calls answered with garbage, seed %u", plugin->Calls().size(), unsigned(seed)));
}

void CheckCarelessHost(Validation& v) {
    auto plugin = v.NewPlugin("careless host: instantiate");
    if (!plugin) {
        return;
    }
    StartPlugin(*plugin, 44100.0, 256);
    CheckTextBuffers(v, *plugin);
    CheckOverlongProgramName(v, *plugin);
    CheckOwnChunk(v, *plugin);
    CheckAbsurdArrangements(v, *plugin);
}
