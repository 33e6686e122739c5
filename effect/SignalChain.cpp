#include "effect/SignalChain.h"

#include "effect/FilterDesign.h"
#include "effect/NoiseTable.h"
#include "effect/SerialBiquads.h"
#include "effect/SoftClip.h"

#include <cmath>

namespace {

// Work is done in chunks whose intermediate signals fit in the first-level cache.
constexpr int kChunk = 512;

// A host's NaN or infinity would otherwise stay in the filter memories for ever.
inline double FiniteOrZero(double v) {
    return std::isfinite(v) ? v : 0.0;
}

double MidDriveBranch(BiquadBank& bq, OnePoleBank& op, double drive, double x) {
    double t = StepBiquad(bq, kMidDriveHighPassSlot, x);
    t = StepBiquad(bq, kMidDriveLowPassSlot, t);
    t = StepBiquad(bq, kMidDrivePeakSlot, t);
    const double k = SoftClip(drive * 50 * t);
    double l = StepOnePole(op.lowPass, kMidDriveSmoothSlot, k) + 1e-20;
    l = StepBiquad(bq, kMidDriveOutLowPassSlot, l);
    l = StepBiquad(bq, kMidDriveShelfSlot, l);
    return l * 2.55;
}

double FixedClipBranch(BiquadBank& bq, OnePoleBank& op, double y0) {
    const double u = StepBiquad(bq, kFixedClipLowPassSlot, y0);
    const double h = u - StepOnePole(op.highPass, kFixedClipHighPassSlot, u) + 1e-20;
    const double k = SoftClip(8 * h);
    const double z = StepOnePole(op.lowPass, kFixedClipSmoothSlot, u + k) + 1e-20;
    return StepBiquad(bq, kFixedClipShelfSlot, z);
}

double DoubleClipBranch(OnePoleBank& op, double drive, double y0) {
    const double p = StepOnePole(op.lowPass, kDoubleClipInputSlot, y0) + 1e-20;
    const double h = p - StepOnePole(op.highPass, kDoubleClipHighPassSlot, p) + 1e-20;
    const double d = SoftClip(SoftClip((7.5 * drive + 3) * h));
    const double l = StepOnePole(op.lowPass, kDoubleClipOutputSlot, d) + 1e-20;
    const double q = d - StepOnePole(op.highPass, kDoubleClipOutputHighPassSlot, d) + 1e-20;
    return (q * -0.07 + l) * 0.6;
}

// From the inputs to the level stage: m = ((b + a) + c) x levelGain for each frame. The banks
// are copied to locals so that the compiler may keep them in registers across frames.
void RunBranches(BiquadBank& bank, OnePoleBank& poles, const double* noiseTable, int noiseStart,
                 const ChainSettings& settings, const double* in0, const double* in1, double* mix,
                 int frames) {
    BiquadBank bq = bank;
    OnePoleBank op = poles;
    const double drive = settings.drive;
    const double levelGain = settings.levelGain;
    int noise = noiseStart;
    for (int i = 0; i < frames; ++i) {
        const double x = FiniteOrZero(in1[i]) + FiniteOrZero(in0[i]) + noiseTable[noise];
        if (++noise == kNoiseTableLength) {
            noise = 0;
        }
        const double y0 = StepBiquad(bq, kInputLowPassSlot, x);
        const double a = MidDriveBranch(bq, op, drive, x);
        const double b = FixedClipBranch(bq, op, y0);
        const double c = DoubleClipBranch(op, drive, y0);
        mix[i] = (b + a + c) * levelGain;
    }
    bank = bq;
    poles = op;
}

// The presence, tone and voicing sections, in the order the mix passes them.
constexpr int kSerialOrder[SerialBiquads::kSections] = {kPresenceSlot1,
                                                        kPresenceSlot2,
                                                        kLowToneSlot,
                                                        kMidToneSlot,
                                                        kHighToneSlot,
                                                        11,
                                                        12,
                                                        13,
                                                        14,
                                                        15,
                                                        16,
                                                        17,
                                                        18,
                                                        19,
                                                        20,
                                                        21,
                                                        22,
                                                        23};

} // namespace

void RunSignalChain(BiquadBank& bq, OnePoleBank& op, Reverberator& reverberator,
                    const double* noiseTable, const ChainSettings& settings, double* const* inputs,
                    double* const* outputs, int frames) {
    SerialBiquads serial;
    serial.Load(bq, kSerialOrder);
    double mix[kChunk];
    double dry[kChunk];
    int noise = 0;
    for (int done = 0; done < frames; done += kChunk) {
        const int n = frames - done < kChunk ? frames - done : kChunk;
        RunBranches(bq, op, noiseTable, noise, settings, inputs[0] + done, inputs[1] + done, mix,
                    n);
        noise = (noise + n) % kNoiseTableLength;
        serial.Run(mix, dry, n);
        double* out0 = outputs[0] + done;
        double* out1 = outputs[1] + done;
        if (settings.vortalizerOn) {
            // The reverberation of the dry signal replaces it; the left output adds it back.
            reverberator.ProcessReverberatorBlock(dry, dry, out0, out1, n);
            for (int i = 0; i < n; ++i) {
                out0[i] = out0[i] * 0.075 + dry[i];
                out1[i] = out1[i] * 0.075;
            }
        } else {
            for (int i = 0; i < n; ++i) {
                out0[i] = dry[i];
                out1[i] = dry[i];
            }
        }
    }
    serial.Store(bq, kSerialOrder);
}
