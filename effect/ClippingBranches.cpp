#include "effect/ClippingBranches.h"

#include "effect/FilterDesign.h"
#include "effect/LanePair.h"
#include "effect/NoiseTable.h"
#include "effect/SectionPairs.h"
#include "effect/SoftClip.h"

#include <cmath>
#include <initializer_list>

namespace {

// Into MidDriveBranch's clipper: drive x 50.
constexpr double kMidDriveClipGain = 50;
// MidDriveBranch's output: a = shelf output x 2.55.
constexpr double kMidDriveOutputGain = 2.55;
// Into FixedClipBranch's clipper, whatever the drive.
constexpr double kFixedClipGain = 8;
// Into DoubleClipBranch's first clipper: 7.5 x drive + 3.
constexpr double kDoubleClipDriveGain = 7.5;
constexpr double kDoubleClipBaseGain = 3;
// DoubleClipBranch's output: c = (high band x -0.07 + low band) x 0.6, the high band a faint
// inverted edge on the low band.
constexpr double kDoubleClipHighBandGain = -0.07;
constexpr double kDoubleClipOutputGain = 0.6;

// A host's NaN or infinity would otherwise stay in the filter memories for ever.
inline double FiniteOrZero(double v) {
    return std::isfinite(v) ? v : 0.0;
}

// A short branch's result on its way to the level stage: made at depth 4, handed on unchanged
// through depths 5 and 6 while MidDriveBranch runs its last two sections.
struct WaitingResult {
    double depth4 = 0, depth5 = 0, depth6 = 0;
};

// The branches run as a wavefront: at step j, the work of depth d belongs to frame j - d, and
// each depth reads what the depth before it handed over in the previous step. The work of one
// step is thus independent across depths, and sections of neighbouring depths share vectors,
// while every frame still meets the steps of each branch in order with the same arithmetic:
// the result is bit-identical to taking one frame at a time through the branches.
//
// depth  MidDriveBranch, from x        FixedClipBranch, from y0       DoubleClipBranch, from y0
//   0    x = in1 + in0 + noise
//   1    high-pass 530 Hz              y0 = input low-pass 4300 Hz of x, shared with DoubleClip
//   2    low-pass 1450 Hz              low-pass 2000 Hz: u            one-pole 2000 Hz: p
//   3    peak 1260 Hz: t               z = u + clipped high band      d = high band of p
//                                      of u, smoothed                 clipped twice
//   4    l = clipped t, smoothed       high shelf 3100 Hz: b          c = low and high band of d
//   5    low-pass 3550 Hz              b waits                        c waits
//   6    high shelf 5450 Hz x 2.55: a  b waits                        c waits
//   7    mix = ((b + a) + c) x levelGain
class BranchWavefront {
public:
    // Frame i reaches the level stage at step i + kLevelDepth.
    static constexpr int kLevelDepth = 7;

    BranchWavefront(BiquadBank& biquads, OnePoleBank& onePoles, double drive, double levelGain)
        : biquadBank_(biquads), onePoleBank_(onePoles), onePoles_(onePoles),
          midClipGain_(drive * kMidDriveClipGain), levelGain_(levelGain),
          doubleClipGain_(kDoubleClipDriveGain * drive + kDoubleClipBaseGain),
          inputSections_(biquads, kInputLowPassSlot, kMidDriveHighPassSlot),
          lowPassSections_(biquads, kFixedClipLowPassSlot, kMidDriveLowPassSlot),
          peakAndShelf_(biquads, kMidDrivePeakSlot, kFixedClipShelfSlot),
          midOutputSections_(biquads, kMidDriveOutLowPassSlot, kMidDriveShelfSlot),
          clipHighPasses_(onePoles_.highPass, kFixedClipHighPassSlot, onePoles_.highPass,
                          kDoubleClipHighPassSlot),
          clipSmoothing_(onePoles_.lowPass, kFixedClipSmoothSlot, onePoles_.lowPass,
                         kMidDriveSmoothSlot),
          doubleClipBands_(onePoles_.lowPass, kDoubleClipOutputSlot, onePoles_.highPass,
                           kDoubleClipOutputHighPassSlot) {}

    // Between the run's edges every depth steps at every step, without checks. At the edges a
    // depth without a frame is skipped, unless it shares its vectors with a depth that has one:
    // then it works on nothing of use, and two fixes make up for it. At the step of its first
    // frame its memories are taken again from the banks, which still hold them as they were; at
    // the step of its last frame they are written to the banks.
    void Run(const double* in0, const double* in1, const double* noiseTable, int noise, double* mix,
             int frames) {
        const int steps = frames + kLevelDepth;
        int j = 0;
        for (; j < kLevelDepth && j < steps; ++j) {
            Step<true>(j, in0, in1, noiseTable, noise, mix, frames);
        }
        for (; j < frames; ++j) {
            Step<false>(j, in0, in1, noiseTable, noise, mix, frames);
        }
        for (; j < steps; ++j) {
            Step<true>(j, in0, in1, noiseTable, noise, mix, frames);
        }
    }

private:
    // Whether depth has a frame to work on in step j; always, between the edges of a run.
    template <bool kEdge> static bool Working(int j, int depth, int frames) {
        return !kEdge || (j >= depth && j - depth < frames);
    }

    // One step, deepest depth first, so that every depth reads what the depth before it handed
    // over in the previous step before that is replaced. Inlined into the run, so that the
    // values handed over stay in registers from step to step.
    template <bool kEdge>
    __attribute__((always_inline)) inline void Step(int j, const double* in0, const double* in1,
                                                    const double* noiseTable, int& noise,
                                                    double* mix, int frames) {
        if (kEdge && j >= 1 && j < kLevelDepth) {
            RestoreDepth(j);
        }

        // Depth 7: the level stage.
        if (Working<kEdge>(j, kLevelDepth, frames)) {
            mix[j - 7] = (fixedClipOut_.depth6 + midDriveOut_ + doubleClipOut_.depth6) * levelGain_;
        }

        // Depths 6 and 5: MidDriveBranch's last two sections; the other results wait.
        if (Working<kEdge>(j, 5, frames) || Working<kEdge>(j, 6, frames)) {
            const __m128d midOutput =
                midOutputSections_.Step(Lanes(midSmoothed_, midOutLowPassed_));
            midDriveOut_ = HighLane(midOutput) * kMidDriveOutputGain;
            fixedClipOut_.depth6 = fixedClipOut_.depth5;
            doubleClipOut_.depth6 = doubleClipOut_.depth5;
            midOutLowPassed_ = LowLane(midOutput);
            fixedClipOut_.depth5 = fixedClipOut_.depth4;
            doubleClipOut_.depth5 = doubleClipOut_.depth4;
        }

        // Depths 4 and 3, whose sections share vectors. MidDriveBranch's peak makes t (3),
        // FixedClipBranch's shelf b (4).
        if (Working<kEdge>(j, 3, frames) || Working<kEdge>(j, 4, frames)) {
            const __m128d peakAndShelf = peakAndShelf_.Step(Lanes(midLowPassed_, fixedSmoothed_));
            // FixedClipBranch clips the high band of u, adds it back onto u and smooths the sum
            // into z (3); DoubleClipBranch takes the high band of p to its clippers (3);
            // MidDriveBranch clips t and smooths it into l (4).
            const __m128d clipInputs = Lanes(fixedLowPassed_, doubleLowPassed_);
            const __m128d highBands =
                _mm_add_pd(_mm_sub_pd(clipInputs, clipHighPasses_.Step(clipInputs)),
                           _mm_set1_pd(kDenormalOffset));
            const double fixedClipped = SoftClip(kFixedClipGain * LowLane(highBands));
            const double midClipped = SoftClip(midClipGain_ * midPeaked_);
            const __m128d smoothed =
                _mm_add_pd(clipSmoothing_.Step(Lanes(fixedLowPassed_ + fixedClipped, midClipped)),
                           _mm_set1_pd(kDenormalOffset));
            // DoubleClipBranch's low band of d and, by subtraction, its high band, into c (4).
            const __m128d bands = doubleClipBands_.Step(_mm_set1_pd(doubleClipped_));
            fixedClipOut_.depth4 = HighLane(peakAndShelf);
            const double lowBand = LowLane(bands) + kDenormalOffset;
            const double highBand = doubleClipped_ - HighLane(bands) + kDenormalOffset;
            doubleClipOut_.depth4 =
                (highBand * kDoubleClipHighBandGain + lowBand) * kDoubleClipOutputGain;
            midSmoothed_ = HighLane(smoothed);
            midPeaked_ = LowLane(peakAndShelf);
            fixedSmoothed_ = LowLane(smoothed);
            doubleClipped_ = SoftClip(SoftClip(doubleClipGain_ * HighLane(highBands)));
        }

        // Depth 2: the first low-pass of each branch.
        if (Working<kEdge>(j, 2, frames)) {
            const __m128d lowPassed = lowPassSections_.Step(Lanes(inputLowPassed_, midHighPassed_));
            fixedLowPassed_ = LowLane(lowPassed);
            midLowPassed_ = HighLane(lowPassed);
            doubleLowPassed_ =
                StepOnePole(onePoles_.lowPass, kDoubleClipInputSlot, inputLowPassed_) +
                kDenormalOffset;
        }

        // Depth 1: the two sections that take x.
        if (Working<kEdge>(j, 1, frames)) {
            const __m128d fromInput = inputSections_.Step(_mm_set1_pd(input_));
            inputLowPassed_ = LowLane(fromInput);
            midHighPassed_ = HighLane(fromInput);
        }

        // Depth 0: the input.
        if (Working<kEdge>(j, 0, frames)) {
            input_ = FiniteOrZero(in1[j]) + FiniteOrZero(in0[j]) + noiseTable[noise];
            if (++noise == kNoiseTableLength) {
                noise = 0;
            }
        }

        if (kEdge) {
            const int finished = j - (frames - 1);
            if (finished >= 1 && finished < kLevelDepth) {
                SaveDepth(finished);
            }
        }
    }

    // The filters of a depth take their memories from the banks again.
    void RestoreDepth(int depth) {
        const __m128d low = LaneMask(true, false), high = LaneMask(false, true);
        const __m128d both = LaneMask(true, true);
        switch (depth) {
        case 1:
            inputSections_.Restore(biquadBank_, both);
            break;
        case 2:
            lowPassSections_.Restore(biquadBank_, both);
            onePoles_.lowPass.state[kDoubleClipInputSlot] =
                onePoleBank_.lowPass.state[kDoubleClipInputSlot];
            break;
        case 3:
            peakAndShelf_.Restore(biquadBank_, low);
            clipHighPasses_.Restore(onePoleBank_.highPass, onePoleBank_.highPass, both);
            clipSmoothing_.Restore(onePoleBank_.lowPass, onePoleBank_.lowPass, low);
            break;
        case 4:
            peakAndShelf_.Restore(biquadBank_, high);
            clipSmoothing_.Restore(onePoleBank_.lowPass, onePoleBank_.lowPass, high);
            doubleClipBands_.Restore(onePoleBank_.lowPass, onePoleBank_.highPass, both);
            break;
        case 5:
            midOutputSections_.Restore(biquadBank_, low);
            break;
        case 6:
            midOutputSections_.Restore(biquadBank_, high);
            break;
        default:
            break;
        }
    }

    // The filters of a depth write their memories to the banks.
    void SaveDepth(int depth) {
        switch (depth) {
        case 1:
            inputSections_.Save(biquadBank_, true, true);
            break;
        case 2:
            lowPassSections_.Save(biquadBank_, true, true);
            onePoleBank_.lowPass.state[kDoubleClipInputSlot] =
                onePoles_.lowPass.state[kDoubleClipInputSlot];
            break;
        case 3:
            peakAndShelf_.Save(biquadBank_, true, false);
            clipHighPasses_.Save(onePoleBank_.highPass, onePoleBank_.highPass, true, true);
            clipSmoothing_.Save(onePoleBank_.lowPass, onePoleBank_.lowPass, true, false);
            break;
        case 4:
            peakAndShelf_.Save(biquadBank_, false, true);
            clipSmoothing_.Save(onePoleBank_.lowPass, onePoleBank_.lowPass, false, true);
            doubleClipBands_.Save(onePoleBank_.lowPass, onePoleBank_.highPass, true, true);
            break;
        case 5:
            midOutputSections_.Save(biquadBank_, true, false);
            break;
        case 6:
            midOutputSections_.Save(biquadBank_, false, true);
            break;
        default:
            break;
        }
    }

    // The banks the run starts from and leaves its memories in.
    BiquadBank& biquadBank_;
    OnePoleBank& onePoleBank_;
    // A copy that the sections step, so that no store to the mix can alias their state.
    OnePoleBank onePoles_;
    const double midClipGain_;
    const double levelGain_;
    const double doubleClipGain_;

    BiquadPair inputSections_;     // input low-pass (1) | MidDriveBranch's high-pass (1)
    BiquadPair lowPassSections_;   // FixedClipBranch's low-pass (2) | MidDriveBranch's (2)
    BiquadPair peakAndShelf_;      // MidDriveBranch's peak (3) | FixedClipBranch's shelf (4)
    BiquadPair midOutputSections_; // MidDriveBranch's low-pass (5) | its shelf (6)
    OnePolePair clipHighPasses_;  // ahead of FixedClipBranch's (3) | DoubleClipBranch's clipper (3)
    OnePolePair clipSmoothing_;   // after FixedClipBranch's (3) | MidDriveBranch's clipper (4)
    OnePolePair doubleClipBands_; // DoubleClipBranch's low band (4) | high band (4)

    // What each depth handed over in the previous step, named by signal; the depth that made it
    // in brackets.
    double input_ = 0;            // x (0)
    double inputLowPassed_ = 0;   // y0 (1)
    double midHighPassed_ = 0;    // (1)
    double midLowPassed_ = 0;     // (2)
    double midPeaked_ = 0;        // t (3)
    double midSmoothed_ = 0;      // l (4)
    double midOutLowPassed_ = 0;  // (5)
    double midDriveOut_ = 0;      // a (6)
    double fixedLowPassed_ = 0;   // u (2)
    double fixedSmoothed_ = 0;    // z (3)
    double doubleLowPassed_ = 0;  // p (2)
    double doubleClipped_ = 0;    // d (3)
    WaitingResult fixedClipOut_;  // b (4, 5, 6)
    WaitingResult doubleClipOut_; // c (4, 5, 6)
};

} // namespace

void RunClippingBranches(BiquadBank& biquads, OnePoleBank& onePoles, double drive, double levelGain,
                         const double* in0, const double* in1, const double* noiseTable,
                         int noiseStart, double* mix, int frames) {
    BranchWavefront branches(biquads, onePoles, drive, levelGain);
    branches.Run(in0, in1, noiseTable, noiseStart, mix, frames);
}
