#pragma once

#include "effect/DelayLines.h"
#include "effect/LanePair.h"
#include "effect/Reverberator.h"

// The reverberator's second stage: six all-pass diffusers in series per channel, each left
// all-pass side by side with its right partner in the two lanes of a vector. Like the combs it
// runs spans of frames in which no delay line wraps (DelayLines). The all-passes' positions are
// copied in on construction and back by StoreTo.
class AllpassStage {
public:
    static constexpr int kAllpasses = 2 * Reverberator::kStages;

    explicit AllpassStage(AllpassFilter (&allpasses)[kAllpasses]) : lines_(allpasses) {
        for (int k = 0; k < Reverberator::kStages; ++k) {
            feedback_[k] = Lanes(allpasses[2 * k].feedback, allpasses[2 * k + 1].feedback);
        }
    }

    int FramesBeforeWrap() const { return lines_.FramesBeforeWrap(); }

    // Takes a span of at most FramesBeforeWrap signal pairs (left in the low lane, right in the
    // high lane) through the six stages in order, in place.
    void Run(__m128d* signals, int frames) {
        double* start[kAllpasses];
        lines_.SpanStarts(start);
        // No all-pass reads what it wrote within the span, so two frames go through the stages
        // side by side and their dependency chains overlap.
        int f = 0;
        for (; f + 1 < frames; f += 2) {
            __m128d first = signals[f];
            __m128d second = signals[f + 1];
            for (int k = 0; k < Reverberator::kStages; ++k) {
                first = Step(start, k, f, first);
                second = Step(start, k, f + 1, second);
            }
            signals[f] = first;
            signals[f + 1] = second;
        }
        for (; f < frames; ++f) {
            __m128d signal = signals[f];
            for (int k = 0; k < Reverberator::kStages; ++k) {
                signal = Step(start, k, f, signal);
            }
            signals[f] = signal;
        }
        lines_.Advance(frames);
    }

    void StoreTo(AllpassFilter (&allpasses)[kAllpasses]) const { lines_.StorePositions(allpasses); }

private:
    // Stage k's pair in frame f of the span: reads the delayed value b, stores b x feedback +
    // input and hands on b - input.
    __m128d Step(double* const* start, int k, int f, __m128d input) const {
        double* left = start[2 * k] + f;
        double* right = start[2 * k + 1] + f;
        const __m128d b = LoadLanes(left, right);
        StoreLanes(FlushTinyLanes(_mm_add_pd(_mm_mul_pd(b, feedback_[k]), input)), left, right);
        return _mm_sub_pd(b, input);
    }

    DelayLines<kAllpasses> lines_;
    __m128d feedback_[Reverberator::kStages];
};
