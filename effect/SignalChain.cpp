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

// The three branches from the inputs to the level stage, m = ((b + a) + c) x levelGain, run as
// a wavefront: at step j, the work of depth d belongs to frame j - d, and each depth reads what
// the depth before it handed over in the previous step. The steps of one frame are those of the
// branches, in their order, so the results are bit-identical; only independent work of
// neighbouring frames is interleaved.
class BranchPipeline {
public:
    static constexpr int kDepth = 7;

    BranchPipeline(const BiquadBank& biquads, const OnePoleBank& onePoles,
                   const ChainSettings& settings)
        : bq_(biquads), op_(onePoles), drive_(settings.drive), levelGain_(settings.levelGain),
          doubleClipGain_(7.5 * settings.drive + 3) {}

    void Run(const double* in0, const double* in1, const double* noiseTable, int noise, double* mix,
             int frames) {
        const int steps = frames + kDepth;
        int j = 0;
        for (; j < kDepth && j < steps; ++j) {
            Step<true>(j, in0, in1, noiseTable, noise, mix, frames);
        }
        for (; j < frames; ++j) {
            Step<false>(j, in0, in1, noiseTable, noise, mix, frames);
        }
        for (; j < steps; ++j) {
            Step<true>(j, in0, in1, noiseTable, noise, mix, frames);
        }
    }

    void StoreTo(BiquadBank& biquads, OnePoleBank& onePoles) const {
        biquads = bq_;
        onePoles = op_;
    }

private:
    template <bool kEdge>
    inline void Step(int j, const double* in0, const double* in1, const double* noiseTable,
                     int& noise, double* mix, int frames) {
        // Whether depth d has a frame at this step.
        const auto active = [&](int d) { return !kEdge || (j - d >= 0 && j - d < frames); };
        if (active(7)) {
            mix[j - 7] = (b6_ + a6_ + c6_) * levelGain_;
        }
        if (active(6)) {
            a6_ = StepBiquad(bq_, kMidDriveShelfSlot, l5_) * 2.55;
            b6_ = b5_;
            c6_ = c5_;
        }
        if (active(5)) {
            l5_ = StepBiquad(bq_, kMidDriveOutLowPassSlot, l4_);
            b5_ = b4_;
            c5_ = c4_;
        }
        if (active(4)) {
            b4_ = StepBiquad(bq_, kFixedClipShelfSlot, z3_);
            const double l = StepOnePole(op_.lowPass, kDoubleClipOutputSlot, d3_) + 1e-20;
            const double q =
                d3_ - StepOnePole(op_.highPass, kDoubleClipOutputHighPassSlot, d3_) + 1e-20;
            c4_ = (q * -0.07 + l) * 0.6;
            const double k = SoftClip(drive_ * 50 * t3_);
            l4_ = StepOnePole(op_.lowPass, kMidDriveSmoothSlot, k) + 1e-20;
        }
        if (active(3)) {
            const double h = u2_ - StepOnePole(op_.highPass, kFixedClipHighPassSlot, u2_) + 1e-20;
            const double k = SoftClip(8 * h);
            z3_ = StepOnePole(op_.lowPass, kFixedClipSmoothSlot, u2_ + k) + 1e-20;
            const double hd = p2_ - StepOnePole(op_.highPass, kDoubleClipHighPassSlot, p2_) + 1e-20;
            d3_ = SoftClip(SoftClip(doubleClipGain_ * hd));
            t3_ = StepBiquad(bq_, kMidDrivePeakSlot, t2_);
        }
        if (active(2)) {
            u2_ = StepBiquad(bq_, kFixedClipLowPassSlot, y1_);
            p2_ = StepOnePole(op_.lowPass, kDoubleClipInputSlot, y1_) + 1e-20;
            t2_ = StepBiquad(bq_, kMidDriveLowPassSlot, t1_);
        }
        if (active(1)) {
            y1_ = StepBiquad(bq_, kInputLowPassSlot, x0_);
            t1_ = StepBiquad(bq_, kMidDriveHighPassSlot, x0_);
        }
        if (active(0)) {
            x0_ = FiniteOrZero(in1[j]) + FiniteOrZero(in0[j]) + noiseTable[noise];
            if (++noise == kNoiseTableLength) {
                noise = 0;
            }
        }
    }

    BiquadBank bq_;
    OnePoleBank op_;
    const double drive_;
    const double levelGain_;
    const double doubleClipGain_;
    // What each depth handed over in the previous step, named by depth.
    double x0_ = 0, y1_ = 0, t1_ = 0, u2_ = 0, p2_ = 0, t2_ = 0, z3_ = 0, d3_ = 0, t3_ = 0;
    double b4_ = 0, c4_ = 0, l4_ = 0, l5_ = 0, b5_ = 0, c5_ = 0, a6_ = 0, b6_ = 0, c6_ = 0;
};

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
        BranchPipeline branches(bq, op, settings);
        branches.Run(inputs[0] + done, inputs[1] + done, noiseTable, noise, mix, n);
        branches.StoreTo(bq, op);
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
