#pragma once

#include "effect/BiquadBank.h"

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
    static constexpr int kLanes = 4 * kQuads; // the last two are idle

    // Copies coefficients and memories of the slots in order.
    void Load(const BiquadBank& bank, const int (&order)[kSections]);
    // Copies the memories back.
    void Store(BiquadBank& bank, const int (&order)[kSections]) const;
    // Passes frames samples through the series; output i is the last section's output plus
    // kDenormalOffset. Uses four-lane vectors where the processor has them.
    void Run(const double* in, double* out, int frames);
    // The two forms Run chooses from.
    void RunTwoWide(const double* in, double* out, int frames);
    void RunFourWide(const double* in, double* out, int frames);

private:
    static constexpr int Index(int section) { return 4 * (section % kQuads) + section / kQuads; }

    template <bool kEdge> void StepTwoWide(int j, const double* in, double* out, int frames);

    alignas(32) double b0_[kLanes];
    alignas(32) double b1_[kLanes];
    alignas(32) double b2_[kLanes];
    alignas(32) double a1_[kLanes];
    alignas(32) double a2_[kLanes];
    alignas(32) double x1_[kLanes];
    alignas(32) double x2_[kLanes];
    alignas(32) double y1_[kLanes];
    alignas(32) double y2_[kLanes];
};
