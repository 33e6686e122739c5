#pragma once

#include "effect/BiquadBank.h"
#include "effect/FourWide.h"

// A fixed series of biquad sections of a bank run as a wavefront: at step j, section s works on
// frame j - s, so all sections of a step are independent and run side by side in vector lanes.
// Every frame still meets every section in order with exactly the arithmetic of StepBiquad, so
// the results are bit-identical to stepping one frame through the whole series at a time,
// whatever the vector width.
//
// Section s sits in lane s / kQuads of quad s % kQuads. Each section's input is then the output
// of the same lane in the quad before, with no shuffling, except in the first quad, whose lanes
// take the series' input and the last quad's outputs moved up by one lane.
class SerialBiquads {
public:
    static constexpr int kSections = 18;
    static constexpr int kQuads = 5;

    // The series of the bank's slots in order. Each run takes their coefficients and memories
    // from the bank and leaves the memories there.
    SerialBiquads(BiquadBank& bank, const int (&order)[kSections]) : bank_(bank), order_(order) {}

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

    BiquadBank& bank_;
    const int (&order_)[kSections];
};
