#pragma once

#include <cfloat>
#include <cmath>

// Zero and denormal values become +0, so that decaying feedback never reaches the slow denormal
// range; NaN compares false and stays.
inline double FlushTiny(double v) {
    return std::fabs(v) < DBL_MIN ? 0.0 : v;
}
