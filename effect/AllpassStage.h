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
        // No all-pass reads within a span what it wrote there, so the frames of a span run side
        // by side. Two stages of each channel at a time, so that each frame loads and stores its
        // signals once for four lines.
        for (int g = 0; g < kAllpasses; g += kGroup) {
            lines_.template ForEachPiece<kGroup>(
                g, frames,
                [&](double* const(&cells)[kGroup], int from, int count) KVX_INLINED_LAMBDA {
                    RunLines(feedback_ + g, cells[0], cells[1], cells[2], cells[3], left + from,
                             right + from, count);
                });
        }
        lines_.Advance(frames);
    }

    void StoreTo(AllpassFilter (&allpasses)[kAllpasses]) const { lines_.StorePositions(allpasses); }

private:
    // All-passes run together: elements g to g + 3, a stage of the left and the right channel and
    // the next stage of each.
    static constexpr int kGroup = 4;
    static_assert(kAllpasses % kGroup == 0, "the all-passes fall into whole groups");

    // Each frame reads the delayed value b, stores b x feedback + signal and hands on
    // b - signal.
    KVX_VECTORISED_IN_CALLER static double Stage(double* line, double feedback, double signal) {
        const double b = *line;
        *line = FlushTiny(b * feedback + signal);
        return b - signal;
    }

    KVX_VECTORISED_IN_CALLER static void
    RunLines(const double* feedback, double* __restrict leftA, double* __restrict rightA,
             double* __restrict leftB, double* __restrict rightB, double* __restrict left,
             double* __restrict right, int frames) {
        const double feedbackLeftA = feedback[0], feedbackRightA = feedback[1];
        const double feedbackLeftB = feedback[2], feedbackRightB = feedback[3];
        for (int f = 0; f < frames; ++f) {
            left[f] = Stage(leftB + f, feedbackLeftB, Stage(leftA + f, feedbackLeftA, left[f]));
            right[f] =
                Stage(rightB + f, feedbackRightB, Stage(rightA + f, feedbackRightA, right[f]));
        }
    }

    DelayLines<kAllpasses> lines_;
    double feedback_[kAllpasses];
};
