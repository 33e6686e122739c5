#include "effect/PlugExample.h"

#include <cmath>

#include "editor/IGraphicsLice.h"
#include "effect/DesignMath.h"
#include "effect/EffectParameters.h"
#include "effect/FilterDesign.h"
#include "effect/PlugExampleEditor.h"
#include "effect/SignalChain.h"

namespace {

constexpr std::int32_t FourCharCode(const char (&code)[5]) {
    return std::int32_t(std::uint32_t(std::uint8_t(code[0])) << 24 |
                        std::uint32_t(std::uint8_t(code[1])) << 16 |
                        std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint8_t(code[3]));
}

// Normalises the level taper so that it spans exactly 0..1 over the full exponential.
const double levelTaperNorm = 1 / (1 - DesignExp(-3));

// The effect's room: a comb loop gain of 0.91 with no high-frequency damping, the two channels
// kept apart.
constexpr double kReverbRoomSize = 0.91;
constexpr double kReverbDamping = 0.0;
constexpr double kReverbWidth = 1.0;

} // namespace

double LevelGainFor(double level) {
    return 1 - (1 - DesignExp(-3 * (1 - level / 2))) * levelTaperNorm;
}

PlugExample::PlugExample(AudioMasterCallback host)
    : IPlugVST(host, kNumParams, "1-1 2-2", kNumPrograms, "Kelvorantumix", "", "wexmoradine",
               0x10200, FourCharCode("Jmx2"), FourCharCode("Qrvn"), 0, false, false, false),
      levelGain(LevelGainFor(0.5)), drive(0.5) {
    DefineEffectParameters(*this);

    DefineProgram("Init", 0.5, 0.5, 0.5, 0.5, 0.5, 1, 0);
    DefineProgramsFromCurrent("Init", kNumPrograms - 1);
    BuildEditor();
}

PlugExample::~PlugExample() = default;

void PlugExample::BuildEditor() {
    const StompboxPanel panel = BuildStompboxPanel(this);
    effectLedIndex = panel.effectLedIndex;
    vortalizerLedIndex = panel.vortalizerLedIndex;
    AttachEditor(panel.editor);
}

void PlugExample::SwitchLed(int ledIndex, double value) {
    if (Editor() && ledIndex >= 0) {
        Editor()->SetControlValue(ledIndex, value);
    }
}

void PlugExample::OnParameterChange(int paramIdx) {
    ScopedLock hold(Lock());
    if (paramIdx < 0 || paramIdx >= kNumParams) {
        return;
    }
    const double v = GetParam(paramIdx)->Value();
    switch (paramIdx) {
    case kLevel:
        levelGain = LevelGainFor(v);
        break;
    case kDrive:
        drive = v;
        break;
    case kLow:
        DesignLowTone(biquads, v, workingRate);
        break;
    case kMid:
        DesignMidTone(biquads, v, workingRate);
        break;
    case kHigh:
        DesignHighTone(biquads, v, workingRate);
        break;
    case kEffect:
    case kVortalizer: {
        const int n = int(v);
        if (n != 0 && n != 1) {
            break;
        }
        const bool on = n == 1;
        if (paramIdx == kEffect) {
            SwitchLed(effectLedIndex, on ? 1.0 : 0.0);
            effectOn = on;
        } else {
            SwitchLed(vortalizerLedIndex, on ? 1.0 : 0.0);
            vortalizerOn = on;
        }
        break;
    }
    default:
        break;
    }
}

void PlugExample::OnReset() {
    ScopedLock hold(Lock());
    workingRate = SampleRate();
    RefillNoiseTable(noiseTable);
    if (workingRate == designedRate) {
        return;
    }
    designedRate = workingRate;
    ClearFilterBank(biquads, onePoles);
    DesignAllFilters(biquads, onePoles, workingRate, GetParam(kLow)->Value(),
                     GetParam(kMid)->Value(), GetParam(kHigh)->Value());
    // The reverberation's lines are sized for the new rate and emptied, like the filters above.
    reverberator.rate = workingRate;
    reverberator.roomSize = kReverbRoomSize;
    reverberator.damping = kReverbDamping;
    reverberator.width = kReverbWidth;
    reverberator.ConfigureReverberator(true);
}

void PlugExample::ProcessBlock(double** inputs, double** outputs, int frames) {
    if (frames <= 0) {
        return;
    }
    if (!effectOn) {
        for (int i = 0; i < frames; ++i) {
            const double v = inputs[1][i] + inputs[0][i];
            outputs[1][i] = v;
            outputs[0][i] = v;
        }
        SilenceNonFinite(outputs, frames);
        return;
    }
    RunSignalChain(biquads, onePoles, reverberator, noiseTable, {levelGain, drive, vortalizerOn},
                   inputs, outputs, frames);
    // Input far beyond full scale (1e200, say) can overflow the arithmetic to infinity, and the
    // filters would then hold infinities and NaNs for ever: their memories start again from
    // silence. A block whose output is finite is left exactly as computed.
    if (SilenceNonFinite(outputs, frames)) {
        ClearFilterMemories(biquads, onePoles);
        reverberator.Silence();
    }
}

// A sample that is not a finite number leaves the plug-in as silence rather than passing NaNs
// or infinities on to the rest of the host's mix. Returns whether there was any.
bool PlugExample::SilenceNonFinite(double** outputs, int frames) {
    bool found = false;
    for (int channel = 0; channel < 2; ++channel) {
        for (int i = 0; i < frames; ++i) {
            if (!std::isfinite(outputs[channel][i])) {
                outputs[channel][i] = 0.0;
                found = true;
            }
        }
    }
    return found;
}

IPlugVST* MakePlug(AudioMasterCallback host) {
    return new PlugExample(host);
}
