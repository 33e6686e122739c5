#pragma once

#include "effect/BiquadBank.h"
#include "effect/FourWide.h"

// A fixed series of biquad sections run as a wavefront: at step j, section s works on frame
// j - s, so all sections of a step are independent and run side by side in vector lanes. Every
// frame still meets every section in order with exactly the arithmetic of StepBiquad, so the
// results are bit-identical to stepping one frame through the whole series at a time, whatever
// the vector width.
//
// Section s sits in lane s / kQuads of quad s % kQuads. Each section's input is then the output
// of the same lane in the quad before, with no shuffling, except in the first quad, whose lanes
// take the series' input and the last quad's outputs moved up by one lane.
class SerialBiquads {
public:
    static constexpr int kSections = 18;
    static constexpr int kQuads = 5;

    // Copies coefficients and memories of the slots in order.
    void Load(const BiquadBank& bank, const int (&order)[kSections]);
    // Copies the memories back.
    void Store(BiquadBank& bank, const int (&order)[kSections]) const;
    // Passes frames samples through the series; output i is the last section's output plus
    // kDenormalOffset. Uses the widest vectors the processor has.
    void Run(const double* in, double* out, int frames);
    // The forms Run chooses from, by instruction set: SSE2, AVX, and AVX with AVX-512VL's
    // registers.
    void RunTwoWide(const double* in, double* out, int frames);
    void RunFourWide(const double* in, double* out, int frames);
    void RunFourWide32(const double* in, double* out, int frames);

private:
    template <class Unused> void RunWavefront(const double* in, double* out, int frames);

    // Four lanes, written one at a time by Load and Store and read as one by a run.
    union Lanes4 {
        Double4 four;
        double lane[4];
    };
    // Quad q holds the sections q, q + kQuads, q + 2 kQuads and q + 3 kQuads; the last two
    // lanes of the last quads are idle.
    Lanes4 b0_[kQuads], b1_[kQuads], b2_[kQuads], a1_[kQuads], a2_[kQuads];
    Lanes4 x1_[kQuads], x2_[kQuads], y1_[kQuads], y2_[kQuads];
};
