#pragma once

#include "effect/DelayLines.h"
#include "effect/FourWide.h"
#include "effect/TinyValues.h"

#include <vector>

// A delay line with feedback around it, used as a diffuser.
struct AllpassFilter {
    double feedback = 0.5;
    std::vector<double> line = std::vector<double>(1, 0.0);
    int position = 0;
};

// The reverberator's second stage: six all-pass diffusers in series per channel. Like the combs
// it runs spans of frames no longer than its shortest line (DelayLines). The all-passes' lines,
// gains and positions are taken on construction; the positions go back by StoreTo.
class AllpassStage {
public:
    static constexpr int kAllpasses = 12;

    explicit AllpassStage(AllpassFilter (&allpasses)[kAllpasses]) : lines_(allpasses) {
        for (int e = 0; e < kAllpasses; ++e) {
            feedback_[e] = allpasses[e].feedback;
        }
    }

    int LongestSpan() const { return lines_.LongestSpan(); }

    // Takes a span of at most LongestSpan frames of each channel through its six stages in
    // order, in place.
    KVX_VECTORISED_IN_CALLER void Run(double* left, double* right, int frames) {
        // No all-pass reads within a span what it wrote there, so each stage takes the whole
        // span before the next, the frames side by side.
        for (int e = 0; e < kAllpasses; ++e) {
            double* signal = e % 2 == 0 ? left : right;
            const auto cells = lines_.Cells(e, frames);
            RunStage(cells.first, feedback_[e], signal, cells.count);
            // Most spans end before the line does.
            if (cells.count < frames) {
                RunStage(cells.rest, feedback_[e], signal + cells.count, frames - cells.count);
            }
        }
        lines_.Advance(frames);
    }

    void StoreTo(AllpassFilter (&allpasses)[kAllpasses]) const { lines_.StorePositions(allpasses); }

private:
    // Each frame reads the delayed value b, stores b x feedback + signal and hands on
    // b - signal.
    KVX_VECTORISED_IN_CALLER static void RunStage(double* __restrict line, double feedback,
                                                  double* __restrict signal, int frames) {
        for (int f = 0; f < frames; ++f) {
            const double b = line[f];
            line[f] = FlushTiny(b * feedback + signal[f]);
            signal[f] = b - signal[f];
        }
    }

    DelayLines<kAllpasses> lines_;
    double feedback_[kAllpasses];
};
