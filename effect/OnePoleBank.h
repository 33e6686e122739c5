#pragma once

// One family of one-pole low-pass sections, y = g x - q y1 with g = 1 - p and q = -p.
struct OnePoleFamily {
    static constexpr int kSlots = 8;

    double g[kSlots];
    double q[kSlots];
    double state[kSlots];
};

// The two families: plain low-passes, and low-passes whose output is subtracted from their
// input to form high-passes.
struct OnePoleBank {
    OnePoleFamily lowPass;
    OnePoleFamily highPass;
};

inline double StepOnePole(OnePoleFamily& family, int n, double x) {
    const double y = family.g[n] * x - family.q[n] * family.state[n];
    family.state[n] = y;
    return y;
}
