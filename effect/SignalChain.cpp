#include "effect/SignalChain.h"

#include "effect/FilterDesign.h"
#include "effect/NoiseTable.h"
#include "effect/SoftClip.h"

#include <cmath>

namespace {

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

} // namespace

void RunSignalChain(BiquadBank& bq, OnePoleBank& op, Reverberator& reverberator,
                    const double* noiseTable, const ChainSettings& settings, double* const* inputs,
                    double* const* outputs, int frames) {
    const double* in0 = inputs[0];
    const double* in1 = inputs[1];
    double* out0 = outputs[0];
    double* out1 = outputs[1];
    int noise = 0;
    for (int i = 0; i < frames; ++i) {
        const double x = FiniteOrZero(in1[i]) + FiniteOrZero(in0[i]) + noiseTable[noise];
        if (++noise == kNoiseTableLength) {
            noise = 0;
        }
        const double y0 = StepBiquad(bq, kInputLowPassSlot, x);
        const double a = MidDriveBranch(bq, op, settings.drive, x);
        const double b = FixedClipBranch(bq, op, y0);
        const double c = DoubleClipBranch(op, settings.drive, y0);
        double m = (b + a + c) * settings.levelGain;
        m = StepBiquad(bq, kPresenceSlot1, m);
        m = StepBiquad(bq, kPresenceSlot2, m);
        m = StepBiquad(bq, kLowToneSlot, m);
        m = StepBiquad(bq, kMidToneSlot, m);
        m = StepBiquad(bq, kHighToneSlot, m);
        for (int slot = kFirstVoicingSlot; slot <= kLastVoicingSlot; ++slot) {
            m = StepBiquad(bq, slot, m);
        }
        const double s = m;
        if (settings.vortalizerOn) {
            double left = s;
            double right = s;
            reverberator.ProcessReverberator(left, right);
            out0[i] = left * 0.075 + s;
            out1[i] = right * 0.075;
        } else {
            out0[i] = s;
            out1[i] = s;
        }
    }
}
