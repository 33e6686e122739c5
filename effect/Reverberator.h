#pragma once

#include <vector>

// A delay line with feedback around it, used as a diffuser.
struct AllpassFilter {
    double feedback = 0.5;
    std::vector<double> line = std::vector<double>(1, 0.0);
    int position = 0;
};

// A feedback delay line with a one-pole damping filter in its loop.
struct CombFilter {
    double feedback = 0.5;
    double store = 0.0;
    double damping = 0.5;
    std::vector<double> line = std::vector<double>(1, 0.0);
    int position = 0;
};

// The stereo reverberation behind the "Vortalizer" switch: per channel ten parallel damped
// combs (CombStage) into six series all-passes (AllpassStage); the right channel's delays are
// 23 samples longer at 44100 Hz.
class Reverberator {
public:
    static constexpr int kStages = 6;
    static constexpr int kCombPairs = 10;
    static constexpr int kRightSpread = 23;
    static const int kCombLengths[kCombPairs];
    static const int kAllpassLengths[kStages];

    Reverberator();

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
    const AllpassFilter& Allpass(int index) const { return allpasses_[index]; }
    const CombFilter& Comb(int index) const { return combs_[index]; }
    AllpassFilter& Allpass(int index) { return allpasses_[index]; }
    CombFilter& Comb(int index) { return combs_[index]; }

    double width = 1.0;
    double roomSize = 0.5;
    double damping = 0.5;
    double rate = 44100.0;

private:
    // Fills every line with zeros, keeping positions and comb stores.
    void EmptyLines();

    // Declared before the combs so that the combs are destroyed first.
    AllpassFilter allpasses_[2 * kStages];
    CombFilter combs_[2 * kCombPairs];
};
