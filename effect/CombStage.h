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
        double scaledLeft[kSpanLimit];
        double scaledRight[kSpanLimit];
        Scale(inLeft, scaledLeft, frames);
        Scale(inRight, scaledRight, frames);
        for (int e = 0; e < kCombs; ++e) {
            const bool isLeft = e % 2 == 0;
            const bool first = e < 2;
            double* sums = isLeft ? left : right;
            const double* input = isLeft ? scaledLeft : scaledRight;
            const auto cells = lines_.Cells(e, frames);
            const int rest = frames - cells.count;
            if (withoutDamping_) {
                // The filter's state after the span is what the last frame reads.
                store_[e] = FlushTiny(rest > 0 ? cells.rest[rest - 1] : cells.first[frames - 1]);
            }
            const auto runPiece = [&](double* line, int from, int count) KVX_INLINED_LAMBDA {
                if (!withoutDamping_) {
                    RunDamped(e, line, input + from, sums + from, first, count);
                } else if (first) {
                    RunUndamped<true>(feedback_[e], line, input + from, sums + from, count);
                } else {
                    RunUndamped<false>(feedback_[e], line, input + from, sums + from, count);
                }
            };
            runPiece(cells.first, 0, cells.count);
            // Most spans end before the line does.
            if (rest > 0) {
                runPiece(cells.rest, cells.count, rest);
            }
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

    KVX_VECTORISED_IN_CALLER static void Scale(const double* __restrict in,
                                               double* __restrict scaled, int frames) {
        for (int f = 0; f < frames; ++f) {
            scaled[f] = in[f] * kReverbInputGain;
        }
    }

    // Without damping a comb's filter passes o on (1 x o + 0 x store is o, a zero of either
    // sign flushed to +0 alike), so nothing carries from frame to frame within a span and the
    // frames run side by side. The first comb's sum starts from +0, as a sum of nothing does.
    template <bool kFirst>
    KVX_VECTORISED_IN_CALLER static void RunUndamped(double feedback, double* __restrict line,
                                                     const double* __restrict input,
                                                     double* __restrict sums, int frames) {
        for (int f = 0; f < frames; ++f) {
            const double o = line[f];
            line[f] = feedback * FlushTiny(o) + input[f];
            sums[f] = (kFirst ? 0.0 : sums[f]) + o;
        }
    }

    void RunDamped(int e, double* __restrict line, const double* __restrict input,
                   double* __restrict sums, bool first, int frames) {
        const double feedback = feedback_[e];
        const double damping = damping_[e];
        const double undamped = undamped_[e];
        double store = store_[e];
        for (int f = 0; f < frames; ++f) {
            const double o = line[f];
            store = FlushTiny(undamped * o + damping * store);
            line[f] = feedback * store + input[f];
            sums[f] = (first ? 0.0 : sums[f]) + o;
        }
        store_[e] = store;
    }

    DelayLines<kCombs> lines_;
    double feedback_[kCombs];
    double damping_[kCombs];
    double undamped_[kCombs]; // 1 - damping
    double store_[kCombs];    // the damping filters' states
    bool withoutDamping_;
};
