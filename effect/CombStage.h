#pragma once

#include "effect/DelayLines.h"
#include "effect/FourWide.h"
#include "effect/TinyValues.h"

#include <vector>

// A feedback delay line with a one-pole damping filter in its loop.
struct CombFilter {
    double feedback = 0.5;
    double store = 0.0;
    double damping = 0.5;
    std::vector<double> line = std::vector<double>(1, 0.0);
    int position = 0;
};

// The reverberator's first stage: ten parallel damped combs per channel. It runs spans of
// frames no longer than its shortest line (DelayLines). The combs' lines, gains and state are
// taken on construction; the state goes back to them by StoreTo.
class CombStage {
public:
    static constexpr int kCombs = 20;

    explicit CombStage(CombFilter (&combs)[kCombs]) : lines_(combs) {
        withoutDamping_ = true;
        for (int e = 0; e < kCombs; ++e) {
            feedback_[e] = combs[e].feedback;
            damping_[e] = combs[e].damping;
            undamped_[e] = 1 - combs[e].damping;
            store_[e] = combs[e].store;
            withoutDamping_ = withoutDamping_ && combs[e].damping == 0.0;
        }
    }

    int LongestSpan() const { return lines_.LongestSpan(); }

    // Feeds a span of at most LongestSpan frames, taken from the inputs scaled by
    // kReverbInputGain, into the combs, and writes each channel's sum of its comb outputs, added
    // in comb order, to left and right.
    KVX_VECTORISED_IN_CALLER void Run(const double* inLeft, const double* inRight, double* left,
                                      double* right, int frames) {
        // Two combs of each channel at a time: each frame loads and stores its sums once for
        // four lines, and a span has a quarter of the loops, each scaling its own inputs.
        for (int g = 0; g < kCombs; g += kGroup) {
            lines_.template ForEachPiece<kGroup>(
                g, frames,
                [&](double* const(&cells)[kGroup], int from, int count) KVX_INLINED_LAMBDA {
                    if (withoutDamping_ && from + count == frames) {
                        // The filter's state after the span is what the last frame reads.
                        for (int k = 0; k < kGroup; ++k) {
                            store_[g + k] = FlushTiny(cells[k][count - 1]);
                        }
                    }
                    RunPiece(g, cells, inLeft + from, inRight + from, left + from, right + from,
                             count);
                });
        }
        lines_.Advance(frames);
    }

    void StoreTo(CombFilter (&combs)[kCombs]) const {
        for (int e = 0; e < kCombs; ++e) {
            combs[e].store = store_[e];
        }
        lines_.StorePositions(combs);
    }

    // The longest span Run takes.
    static constexpr int kSpanLimit = 256;

private:
    static constexpr double kReverbInputGain = 0.015;
    // Combs run together: elements g to g + 3, the left, right, left and right one.
    static constexpr int kGroup = 4;
    static_assert(kCombs % kGroup == 0, "the combs fall into whole groups");

    // Group g's combs over a piece of a span in which none of their lines wraps; the inputs
    // and sums start at the piece's first frame.
    KVX_VECTORISED_IN_CALLER void RunPiece(int g, double* const (&cells)[kGroup],
                                           const double* inLeft, const double* inRight,
                                           double* left, double* right, int frames) {
        if (!withoutDamping_) {
            RunDamped(g, cells, inLeft, inRight, left, right, frames);
        } else if (g == 0) {
            RunUndamped<true>(feedback_ + g, cells[0], cells[1], cells[2], cells[3], inLeft,
                              inRight, left, right, frames);
        } else {
            RunUndamped<false>(feedback_ + g, cells[0], cells[1], cells[2], cells[3], inLeft,
                               inRight, left, right, frames);
        }
    }

    // Without damping a comb's filter passes o on (1 x o + 0 x store is o, a zero of either
    // sign flushed to +0 alike), so nothing carries from frame to frame within a span and the
    // frames run side by side. The first combs' sums start from +0, as a sum of nothing does.
    template <bool kFirst>
    KVX_VECTORISED_IN_CALLER static void
    RunUndamped(const double* feedback, double* __restrict leftA, double* __restrict rightA,
                double* __restrict leftB, double* __restrict rightB,
                const double* __restrict inLeft, const double* __restrict inRight,
                double* __restrict left, double* __restrict right, int frames) {
        const double feedbackLeftA = feedback[0], feedbackRightA = feedback[1];
        const double feedbackLeftB = feedback[2], feedbackRightB = feedback[3];
        for (int f = 0; f < frames; ++f) {
            const double inputLeft = inLeft[f] * kReverbInputGain;
            const double inputRight = inRight[f] * kReverbInputGain;
            left[f] = ((kFirst ? 0.0 : left[f]) + Undamped(leftA + f, feedbackLeftA, inputLeft)) +
                      Undamped(leftB + f, feedbackLeftB, inputLeft);
            right[f] =
                ((kFirst ? 0.0 : right[f]) + Undamped(rightA + f, feedbackRightA, inputRight)) +
                Undamped(rightB + f, feedbackRightB, inputRight);
        }
    }

    // One undamped comb's frame: hands on the line's output o and feeds feedback x o + input
    // back into the line.
    KVX_VECTORISED_IN_CALLER static double Undamped(double* cell, double feedback, double input) {
        const double o = *cell;
        *cell = feedback * FlushTiny(o) + input;
        return o;
    }

    void RunDamped(int g, double* const (&cells)[kGroup], const double* inLeft,
                   const double* inRight, double* left, double* right, int frames) {
        double store[kGroup];
        for (int k = 0; k < kGroup; ++k) {
            store[k] = store_[g + k];
        }
        for (int f = 0; f < frames; ++f) {
            const double input[2] = {inLeft[f] * kReverbInputGain, inRight[f] * kReverbInputGain};
            double sum[2] = {g == 0 ? 0.0 : left[f], g == 0 ? 0.0 : right[f]};
            for (int k = 0; k < kGroup; ++k) {
                const double o = cells[k][f];
                store[k] = FlushTiny(undamped_[g + k] * o + damping_[g + k] * store[k]);
                cells[k][f] = feedback_[g + k] * store[k] + input[k % 2];
                sum[k % 2] = sum[k % 2] + o;
            }
            left[f] = sum[0];
            right[f] = sum[1];
        }
        for (int k = 0; k < kGroup; ++k) {
            store_[g + k] = store[k];
        }
    }

    DelayLines<kCombs> lines_;
    double feedback_[kCombs];
    double damping_[kCombs];
    double undamped_[kCombs]; // 1 - damping
    double store_[kCombs];    // the damping filters' states
    bool withoutDamping_;
};
