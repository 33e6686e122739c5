#pragma once

#include <cmath>

// The branches' saturator: a parabola of slope 5 at zero that flattens into +-0.5 at |v| = 0.2.
inline double SoftClip(double v) {
    const double magnitude = std::fabs(v);
    if (magnitude < 0.2) {
        return 5.0 * v * (1.0 - magnitude / 0.4);
    }
    return v > 0.0 ? 0.5 : -0.5;
}
