#pragma once

// All second-order sections of the effect as a structure of arrays: slot n is element n of
// every array. Coefficients are already divided by a0.
struct BiquadBank {
    static constexpr int kSlots = 32;

    double b0[kSlots];
    double b1[kSlots];
    double b2[kSlots];
    double a1[kSlots];
    double a2[kSlots];
    double x1[kSlots];
    double x2[kSlots];
    double y1[kSlots];
    double y2[kSlots];
};

// Added to a signal where it leaves a recursive filter, it keeps the following stages out of
// the denormal range, where arithmetic is slow.
constexpr double kDenormalOffset = 1e-20;

// One direct-form-I step of slot n. Returns the output plus kDenormalOffset; the stored output
// is kept without it.
inline double StepBiquad(BiquadBank& bank, int n, double x) {
    const double y = bank.b0[n] * x + bank.b1[n] * bank.x1[n] + bank.b2[n] * bank.x2[n] -
                     bank.a1[n] * bank.y1[n] - bank.a2[n] * bank.y2[n];
    bank.x2[n] = bank.x1[n];
    bank.x1[n] = x;
    bank.y2[n] = bank.y1[n];
    bank.y1[n] = y;
    return y + kDenormalOffset;
}
