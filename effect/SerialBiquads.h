#pragma once

#include "effect/BiquadBank.h"

// A fixed series of biquad sections run as a wavefront: at step j, section k works on frame
// j - k, so all sections of a step are independent and run side by side in vector lanes. Every
// frame still meets every section in order with exactly the arithmetic of StepBiquad, so the
// results are bit-identical to stepping one frame through the whole series at a time, whatever
// the vector width.
class SerialBiquads {
public:
    static constexpr int kSections = 18;
    static constexpr int kLanes = 20; // padded to whole four-lane vectors

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
    static bool HasFourWide();

private:
    template <bool kEdge> void StepTwoWide(int j, const double* in, double* out, int frames);
    template <bool kEdge> void StepFourWide(int j, const double* in, double* out, int frames);

    alignas(32) double b0_[kLanes];
    alignas(32) double b1_[kLanes];
    alignas(32) double b2_[kLanes];
    alignas(32) double a1_[kLanes];
    alignas(32) double a2_[kLanes];
    alignas(32) double x1_[kLanes];
    alignas(32) double x2_[kLanes];
    alignas(32) double y1_[kLanes];
    alignas(32) double y2_[kLanes];
    alignas(32) double handed_[kLanes]; // each section's previous output, plus kDenormalOffset
};
