#pragma once

#include "effect/DelayLines.h"
#include "effect/LanePair.h"
#include "effect/Reverberator.h"

// The reverberator's first stage: ten parallel damped combs per channel, each left comb side by
// side with its right partner in the two lanes of a vector. It runs spans of frames in which no
// delay line wraps (DelayLines). The combs' state is copied in on construction and back by
// StoreTo.
class CombStage {
public:
    static constexpr int kCombs = 2 * Reverberator::kCombPairs;

    explicit CombStage(CombFilter (&combs)[kCombs]) : lines_(combs) {
        withoutDamping_ = true;
        for (int k = 0; k < Reverberator::kCombPairs; ++k) {
            const CombFilter& left = combs[2 * k];
            const CombFilter& right = combs[2 * k + 1];
            feedback_[k] = Lanes(left.feedback, right.feedback);
            damping_[k] = Lanes(left.damping, right.damping);
            undamped_[k] = Lanes(1 - left.damping, 1 - right.damping);
            store_[k] = Lanes(left.store, right.store);
            withoutDamping_ = withoutDamping_ && left.damping == 0.0 && right.damping == 0.0;
        }
    }

    int FramesBeforeWrap() const { return lines_.FramesBeforeWrap(); }

    // Feeds a span of at most FramesBeforeWrap input pairs, scaled by kReverbInputGain, into
    // the combs, and writes each frame's sum of the comb outputs (left in the low lane, right in
    // the high lane) to sums.
    void Run(const double* inLeft, const double* inRight, __m128d* sums, int frames) {
        if (withoutDamping_) {
            RunGroups<true>(inLeft, inRight, sums, frames);
        } else {
            RunGroups<false>(inLeft, inRight, sums, frames);
        }
        lines_.Advance(frames);
    }

    void StoreTo(CombFilter (&combs)[kCombs]) const {
        for (int k = 0; k < Reverberator::kCombPairs; ++k) {
            StoreLanes(store_[k], &combs[2 * k].store, &combs[2 * k + 1].store);
        }
        lines_.StorePositions(combs);
    }

private:
    static constexpr double kReverbInputGain = 0.015;
    // Five comb pairs at a time keep their gains in registers; the sums still add the combs in
    // order. Frames are independent within a span, so the sums of neighbouring frames overlap.
    static constexpr int kGroup = Reverberator::kCombPairs / 2;

    template <bool kUndamped>
    void RunGroups(const double* inLeft, const double* inRight, __m128d* sums, int frames) {
        double* start[kCombs];
        lines_.SpanStarts(start);
        for (int first = 0; first < Reverberator::kCombPairs; first += kGroup) {
            for (int f = 0; f < frames; ++f) {
                const __m128d input =
                    _mm_mul_pd(Lanes(inLeft[f], inRight[f]), _mm_set1_pd(kReverbInputGain));
                __m128d sum = first == 0 ? _mm_setzero_pd() : sums[f];
                for (int k = first; k < first + kGroup; ++k) {
                    double* left = start[2 * k] + f;
                    double* right = start[2 * k + 1] + f;
                    const __m128d o = LoadLanes(left, right);
                    // Without damping, 1 x o + 0 x store is o itself (a zero of either sign is
                    // flushed to +0 alike), so the products can be skipped.
                    const __m128d store =
                        kUndamped ? FlushTinyLanes(o)
                                  : FlushTinyLanes(_mm_add_pd(_mm_mul_pd(undamped_[k], o),
                                                              _mm_mul_pd(damping_[k], store_[k])));
                    store_[k] = store;
                    StoreLanes(_mm_add_pd(_mm_mul_pd(feedback_[k], store), input), left, right);
                    sum = _mm_add_pd(sum, o);
                }
                sums[f] = sum;
            }
        }
    }

    DelayLines<kCombs> lines_;
    __m128d feedback_[Reverberator::kCombPairs];
    __m128d damping_[Reverberator::kCombPairs];
    __m128d undamped_[Reverberator::kCombPairs]; // 1 - damping
    __m128d store_[Reverberator::kCombPairs];    // the damping filters' states
    bool withoutDamping_;
};
