#include "effect/SignalChain.h"

#include "effect/FilterDesign.h"
#include "effect/NoiseTable.h"
#include "effect/SerialBiquads.h"
#include "effect/SoftClip.h"

#include <cmath>
#include <emmintrin.h>

namespace {

// Work is done in chunks whose intermediate signals fit in the first-level cache.
constexpr int kChunk = 512;

// A host's NaN or infinity would otherwise stay in the filter memories for ever.
inline double FiniteOrZero(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// Two biquad slots side by side in the lanes of a vector, each lane with exactly the arithmetic
// of StepBiquad.
struct BiquadPair {
    BiquadPair(const BiquadBank& bank, int low, int high)
        : lowSlot(low), highSlot(high), b0(Load(bank.b0)), b1(Load(bank.b1)), b2(Load(bank.b2)),
          a1(Load(bank.a1)), a2(Load(bank.a2)), x1(Load(bank.x1)), x2(Load(bank.x2)),
          y1(Load(bank.y1)), y2(Load(bank.y2)) {}

    __m128d Load(const double* values) const {
        return _mm_set_pd(values[highSlot], values[lowSlot]);
    }
    void Unload(__m128d v, double* values) const {
        _mm_storel_pd(&values[lowSlot], v);
        _mm_storeh_pd(&values[highSlot], v);
    }
    void StoreTo(BiquadBank& bank) const {
        Unload(x1, bank.x1);
        Unload(x2, bank.x2);
        Unload(y1, bank.y1);
        Unload(y2, bank.y2);
    }

    // Steps the lanes set in valid (all when valid is null); returns the outputs plus 1e-20.
    template <bool kEdge> __m128d Step(__m128d x, __m128d valid) {
        const __m128d y =
            _mm_sub_pd(_mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(b0, x), _mm_mul_pd(b1, x1)),
                                             _mm_mul_pd(b2, x2)),
                                  _mm_mul_pd(a1, y1)),
                       _mm_mul_pd(a2, y2));
        if (kEdge) {
            x2 = Select(valid, x1, x2);
            x1 = Select(valid, x, x1);
            y2 = Select(valid, y1, y2);
            y1 = Select(valid, y, y1);
        } else {
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
        }
        return _mm_add_pd(y, _mm_set1_pd(1e-20));
    }

    static __m128d Select(__m128d mask, __m128d a, __m128d b) {
        return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
    }

    int lowSlot, highSlot;
    __m128d b0, b1, b2, a1, a2, x1, x2, y1, y2;
};

// Two one-pole sections side by side, each lane with exactly the arithmetic of StepOnePole.
struct OnePolePair {
    OnePolePair(OnePoleFamily& lowFamily, int low, OnePoleFamily& highFamily, int high)
        : lowFamily(lowFamily), highFamily(highFamily), lowSlot(low), highSlot(high),
          g(_mm_set_pd(highFamily.g[high], lowFamily.g[low])),
          q(_mm_set_pd(highFamily.q[high], lowFamily.q[low])),
          state(_mm_set_pd(highFamily.state[high], lowFamily.state[low])) {}

    void Store() const {
        _mm_storel_pd(&lowFamily.state[lowSlot], state);
        _mm_storeh_pd(&highFamily.state[highSlot], state);
    }

    // Steps the lanes set in valid (all unless kEdge); returns the outputs.
    template <bool kEdge> __m128d Step(__m128d x, __m128d valid) {
        const __m128d y = _mm_sub_pd(_mm_mul_pd(g, x), _mm_mul_pd(q, state));
        state = kEdge ? BiquadPair::Select(valid, y, state) : y;
        return y;
    }

    OnePoleFamily& lowFamily;
    OnePoleFamily& highFamily;
    int lowSlot, highSlot;
    __m128d g, q, state;
};

// The three branches from the inputs to the level stage, m = ((b + a) + c) x levelGain, run as
// a wavefront: at step j, the work of depth d belongs to frame j - d, and each depth reads what
// the depth before it handed over in the previous step. The steps of one frame are those of the
// branches, in their order, so the results are bit-identical; only independent work of
// neighbouring frames is interleaved, and the biquads of a step run two to a vector.
class BranchPipeline {
public:
    static constexpr int kDepth = 7;

    BranchPipeline(const BiquadBank& biquads, const OnePoleBank& onePoles,
                   const ChainSettings& settings)
        : op_(onePoles), drive_(settings.drive), levelGain_(settings.levelGain),
          doubleClipGain_(7.5 * settings.drive + 3),
          input_(biquads, kInputLowPassSlot, kMidDriveHighPassSlot),
          second_(biquads, kFixedClipLowPassSlot, kMidDriveLowPassSlot),
          third_(biquads, kMidDrivePeakSlot, kFixedClipShelfSlot),
          last_(biquads, kMidDriveOutLowPassSlot, kMidDriveShelfSlot),
          highPasses_(op_.highPass, kFixedClipHighPassSlot, op_.highPass, kDoubleClipHighPassSlot),
          doubleOutput_(op_.lowPass, kDoubleClipOutputSlot, op_.highPass,
                        kDoubleClipOutputHighPassSlot),
          smoothing_(op_.lowPass, kFixedClipSmoothSlot, op_.lowPass, kMidDriveSmoothSlot) {}

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
        for (const BiquadPair* pair : {&input_, &second_, &third_, &last_}) {
            pair->StoreTo(biquads);
        }
        for (const OnePolePair* pair : {&highPasses_, &doubleOutput_, &smoothing_}) {
            pair->Store();
        }
        onePoles = op_;
    }

private:
    template <bool kEdge>
    inline void Step(int j, const double* in0, const double* in1, const double* noiseTable,
                     int& noise, double* mix, int frames) {
        // Whether depth d has a frame at this step.
        const auto active = [&](int d) { return !kEdge || (j - d >= 0 && j - d < frames); };
        const auto lanes = [&](int low, int high) {
            return kEdge ? _mm_castsi128_pd(
                               _mm_set_epi64x(active(high) ? -1 : 0, active(low) ? -1 : 0))
                         : _mm_setzero_pd();
        };
        // The biquads of every depth, from what the depths before handed over last step.
        const __m128d first = input_.Step<kEdge>(_mm_set1_pd(x0_), lanes(1, 1));
        const __m128d second = second_.Step<kEdge>(_mm_set_pd(t1_, y1_), lanes(2, 2));
        const __m128d third = third_.Step<kEdge>(_mm_set_pd(z3_, t2_), lanes(3, 4));
        const __m128d last = last_.Step<kEdge>(_mm_set_pd(l5_, l4_), lanes(5, 6));

        if (active(7)) {
            mix[j - 7] = (b6_ + a6_ + c6_) * levelGain_;
        }
        if (active(6)) {
            a6_ = _mm_cvtsd_f64(_mm_unpackhi_pd(last, last)) * 2.55;
            b6_ = b5_;
            c6_ = c5_;
        }
        if (active(5)) {
            l5_ = _mm_cvtsd_f64(last);
            b5_ = b4_;
            c5_ = c4_;
        }
        // Depth 3 and 4 one-poles, paired: the two high-passes ahead of the clippers, the
        // double-clip output pair, and the two smoothing low-passes after the clippers.
        const __m128d hp = highPasses_.Step<kEdge>(_mm_set_pd(p2_, u2_), lanes(3, 3));
        const __m128d ahead = _mm_add_pd(_mm_sub_pd(_mm_set_pd(p2_, u2_), hp), _mm_set1_pd(1e-20));
        const double h = _mm_cvtsd_f64(ahead);
        const double hd = _mm_cvtsd_f64(_mm_unpackhi_pd(ahead, ahead));
        const double fixedClip = SoftClip(8 * h);
        const double midClip = SoftClip(drive_ * 50 * t3_);
        const __m128d smoothed =
            _mm_add_pd(smoothing_.Step<kEdge>(_mm_set_pd(midClip, u2_ + fixedClip), lanes(3, 4)),
                       _mm_set1_pd(1e-20));
        const __m128d outputs = doubleOutput_.Step<kEdge>(_mm_set1_pd(d3_), lanes(4, 4));
        if (active(4)) {
            b4_ = _mm_cvtsd_f64(_mm_unpackhi_pd(third, third));
            const double l = _mm_cvtsd_f64(outputs) + 1e-20;
            const double q = d3_ - _mm_cvtsd_f64(_mm_unpackhi_pd(outputs, outputs)) + 1e-20;
            c4_ = (q * -0.07 + l) * 0.6;
            l4_ = _mm_cvtsd_f64(_mm_unpackhi_pd(smoothed, smoothed));
        }
        if (active(3)) {
            z3_ = _mm_cvtsd_f64(smoothed);
            d3_ = SoftClip(SoftClip(doubleClipGain_ * hd));
            t3_ = _mm_cvtsd_f64(third);
        }
        if (active(2)) {
            u2_ = _mm_cvtsd_f64(second);
            p2_ = StepOnePole(op_.lowPass, kDoubleClipInputSlot, y1_) + 1e-20;
            t2_ = _mm_cvtsd_f64(_mm_unpackhi_pd(second, second));
        }
        if (active(1)) {
            y1_ = _mm_cvtsd_f64(first);
            t1_ = _mm_cvtsd_f64(_mm_unpackhi_pd(first, first));
        }
        if (active(0)) {
            x0_ = FiniteOrZero(in1[j]) + FiniteOrZero(in0[j]) + noiseTable[noise];
            if (++noise == kNoiseTableLength) {
                noise = 0;
            }
        }
    }

    OnePoleBank op_;
    const double drive_;
    const double levelGain_;
    const double doubleClipGain_;
    // Lanes: input low-pass and mid-drive high-pass (depth 1); fixed-clip low-pass and
    // mid-drive low-pass (depth 2); mid-drive peak (depth 3) and fixed-clip shelf (depth 4);
    // mid-drive low-pass and shelf after its clipper (depths 5 and 6).
    BiquadPair input_, second_, third_, last_;
    OnePolePair highPasses_, doubleOutput_, smoothing_;
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
