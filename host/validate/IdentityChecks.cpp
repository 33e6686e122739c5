#include "host/validate/Validation.h"

#include <cmath>
#include <cstring>

namespace {

// Asks for a text into a buffer full of a marker byte; the answer must end within the space
// hosts reserve (256 bytes) and nothing past it may be written.
bool AskText(HostedPlugin& plugin, VstInt32 opcode, VstInt32 index, std::string* text) {
    char buffer[1024];
    std::memset(buffer, 0x5A, sizeof buffer);
    plugin.Dispatch(opcode, index, 0, buffer);
    const void* end = std::memchr(buffer, 0, 256);
    for (size_t i = 256; i < sizeof buffer; ++i) {
        if (buffer[i] != 0x5A) {
            return false;
        }
    }
    if (!end) {
        return false;
    }
    *text = buffer;
    return true;
}

} // namespace

void CheckIdentity(Validation& v) {
    auto plugin = v.NewPlugin("identity: instantiate");
    if (!plugin) {
        return;
    }
    plugin->Open(44100.0, 512);
    const AEffect* e = plugin->Effect();
    v.Report("identity: record",
             e->numParams >= 0 && e->numPrograms >= 1 && e->numInputs >= 0 && e->numOutputs >= 0 &&
                 e->processReplacing,
             Figure("%d params, %d programs, %d in, %d out, flags 0x%X", e->numParams,
                    e->numPrograms, e->numInputs, e->numOutputs, unsigned(e->flags)));

    std::string name, vendor;
    const bool named = AskText(*plugin, effGetEffectName, 0, &name) &&
                       AskText(*plugin, effGetVendorString, 0, &vendor);
    v.Report("identity: names", named, "\"" + name + "\" by \"" + vendor + "\"");

    bool textsOk = true;
    std::string problem;
    for (int i = 0; i < e->numParams && textsOk; ++i) {
        for (float x : {0.0f, 0.5f, 1.0f}) {
            plugin->SetParameter(i, x);
            std::string text;
            for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
                if (!AskText(*plugin, opcode, i, &text)) {
                    textsOk = false;
                    problem = Figure("parameter %d, opcode %d", i, opcode);
                }
            }
        }
    }
    v.Report("identity: parameter texts at 0, 0.5, 1", textsOk,
             textsOk ? Figure("%d parameters", e->numParams) : problem);

    // A value set is read back as the parameter's own step makes it, and setting that value
    // again changes nothing.
    double worst = 0.0;
    bool stable = true;
    for (int i = 0; i < e->numParams; ++i) {
        for (int k = 0; k <= 20; ++k) {
            const float x = float(k) / 20.0f;
            plugin->SetParameter(i, x);
            const float got = plugin->GetParameter(i);
            plugin->SetParameter(i, got);
            const float again = plugin->GetParameter(i);
            stable = stable && std::isfinite(got) && got >= 0.0f && got <= 1.0f &&
                     std::fabs(again - got) <= 1e-6f;
            worst = std::fmax(worst, std::fabs(double(got) - x));
        }
    }
    v.Report("identity: get returns what set gave", stable,
             Figure("largest step rounding %.4f", worst));

    bool namesOk = true;
    for (int i = 0; i < e->numPrograms && namesOk; ++i) {
        std::string text;
        namesOk = AskText(*plugin, effGetProgramNameIndexed, i, &text);
    }
    v.Report("identity: program names", namesOk, Figure("%d programs", e->numPrograms));

    const char* questions[] = {"receiveVstTimeInfo",
                               "receiveVstEvents",
                               "receiveVstMidiEvent",
                               "sendVstEvents",
                               "sendVstMidiEvent",
                               "bypass",
                               "offline",
                               "hasCockosExtensions"};
    bool canDoStable = true;
    for (const char* question : questions) {
        const VstIntPtr first = plugin->Dispatch(effCanDo, 0, 0, const_cast<char*>(question));
        const VstIntPtr second = plugin->Dispatch(effCanDo, 0, 0, const_cast<char*>(question));
        canDoStable = canDoStable && first == second;
    }
    v.Report("identity: canDo answers stable", canDoStable,
             Figure("%zu questions", std::size(questions)));
}
