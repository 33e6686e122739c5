#pragma once

#include "effect/AllpassStage.h"
#include "effect/CombStage.h"

// The stereo reverberation behind the "Vortalizer" switch: per channel ten parallel damped
// combs (CombStage) into six series all-passes (AllpassStage); the right channel's delays are
// 23 samples longer at 44100 Hz.
class Reverberator {
public:
    static constexpr int kStages = AllpassStage::kAllpasses / 2;
    static constexpr int kCombPairs = CombStage::kCombs / 2;
    static constexpr int kRightSpread = 23;
    static const int kCombLengths[kCombPairs];
    static const int kAllpassLengths[kStages];

    Reverberator();
    // The stages point into this reverberator's own lines.
    Reverberator(const Reverberator&) = delete;
    Reverberator& operator=(const Reverberator&) = delete;

    // Sizes every line for rate and sets every element's gains; clear also empties the lines.
    void ConfigureReverberator(bool clear);
    // Empties every line and damping filter, keeping sizes and gains.
    void Silence();
    // Consumes one input pair and replaces it with one output pair.
    void ProcessReverberator(double& left, double& right);
    // The same for frames pairs; the outputs may be the inputs. Runs four frames to a vector
    // where the processor has AVX.
    void ProcessReverberatorBlock(const double* inLeft, const double* inRight, double* outLeft,
                                  double* outRight, int frames);
    // The forms ProcessReverberatorBlock chooses from, by instruction set: SSE2, AVX, and AVX
    // with AVX-512VL's registers.
    void ProcessTwoWide(const double* inLeft, const double* inRight, double* outLeft,
                        double* outRight, int frames);
    void ProcessFourWide(const double* inLeft, const double* inRight, double* outLeft,
                         double* outRight, int frames);
    void ProcessFourWide32(const double* inLeft, const double* inRight, double* outLeft,
                           double* outRight, int frames);

    // Element 2k is stage or pair k of the left channel, 2k + 1 the right one.
    const AllpassFilter& Allpass(int index) const;
    const CombFilter& Comb(int index) const;

    double width = 1.0;
    double roomSize = 0.5;
    double damping = 0.5;
    double rate = 44100.0;

private:
    // Fills every line with zeros, keeping positions and comb stores.
    void EmptyLines();
    // Brings the elements' positions and comb stores up to date with the stages'.
    void TakeStateFromStages() const;

    // Declared before the combs so that the combs are destroyed first. The stages keep the
    // positions and comb stores while blocks run; the elements' copies are brought up to date
    // when they are read or the stages are built again.
    mutable AllpassFilter allpasses_[2 * kStages];
    mutable CombFilter combs_[2 * kCombPairs];
    // The elements' lines, gains and state as the blocks run them, taken again whenever lines
    // or gains change.
    CombStage combStage_{combs_};
    AllpassStage allpassStage_{allpasses_};
};
