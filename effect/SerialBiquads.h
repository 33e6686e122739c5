#pragma once

#include "effect/BiquadBank.h"

#include <emmintrin.h>

// A fixed series of biquad sections run as a wavefront: at step j, section k works on frame
// j - k, so all sections of a step are independent and run two to a vector. Every frame still
// meets every section in order with exactly the arithmetic of StepBiquad, so the results are
// bit-identical to stepping one frame through the whole series at a time.
class SerialBiquads {
public:
    static constexpr int kSections = 18;
    static constexpr int kPairs = kSections / 2;

    // Copies coefficients and memories of the slots in order.
    void Load(const BiquadBank& bank, const int (&order)[kSections]);
    // Copies the memories back.
    void Store(BiquadBank& bank, const int (&order)[kSections]) const;
    // Passes frames samples through the series; output i is the last section's output plus 1e-20.
    void Run(const double* in, double* out, int frames);

private:
    template <bool kEdge> void Step(int j, const double* in, double* out, int frames);

    __m128d b0_[kPairs], b1_[kPairs], b2_[kPairs], a1_[kPairs], a2_[kPairs];
    __m128d x1_[kPairs], x2_[kPairs], y1_[kPairs], y2_[kPairs];
    __m128d handed_[kPairs]; // each section's output of the previous step, plus 1e-20
};
