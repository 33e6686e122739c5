#include "effect/Reverberator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

const int Reverberator::kCombLengths[kCombPairs] = {1116, 1188, 1277, 1356, 1422,
                                                    1491, 1557, 1617, 1685, 1748};
const int Reverberator::kAllpassLengths[kStages] = {556, 441, 341, 225, 180, 153};

namespace {

int ScaledLength(int base, double ratio) {
    const int length = int(base * ratio);
    return length < 1 ? 1 : length;
}

void Resize(std::vector<double>& line, int& position, int length) {
    if (int(line.size()) != length) {
        line.assign(size_t(length), 0.0);
        position = 0;
    }
}

// Zero and denormal values become +0 so that decaying tails never reach the slow denormal range.
inline double FlushTiny(double v) {
    return std::fabs(v) < DBL_MIN ? 0.0 : v;
}

inline double StepComb(CombFilter& comb, double input) {
    double* line = comb.line.data();
    const double o = line[comb.position];
    comb.store = FlushTiny((1 - comb.damping) * o + comb.damping * comb.store);
    line[comb.position] = comb.feedback * comb.store + input;
    if (++comb.position >= int(comb.line.size())) {
        comb.position = 0;
    }
    return o;
}

inline double StepAllpass(AllpassFilter& allpass, double input) {
    double* line = allpass.line.data();
    const double b = line[allpass.position];
    line[allpass.position] = FlushTiny(b * allpass.feedback + input);
    if (++allpass.position >= int(allpass.line.size())) {
        allpass.position = 0;
    }
    return b - input;
}

} // namespace

Reverberator::Reverberator() {
    ConfigureReverberator(false);
}

void Reverberator::ConfigureReverberator(bool clear) {
    const double ratio = rate / 44100;
    for (int k = 0; k < kStages; ++k) {
        AllpassFilter& left = allpasses_[2 * k];
        AllpassFilter& right = allpasses_[2 * k + 1];
        Resize(left.line, left.position, ScaledLength(kAllpassLengths[k], ratio));
        Resize(right.line, right.position, ScaledLength(kAllpassLengths[k] + kRightSpread, ratio));
        left.feedback = 0.5;
        right.feedback = 0.5;
    }
    for (int k = 0; k < kCombPairs; ++k) {
        CombFilter& left = combs_[2 * k];
        CombFilter& right = combs_[2 * k + 1];
        Resize(left.line, left.position, ScaledLength(kCombLengths[k], ratio));
        Resize(right.line, right.position, ScaledLength(kCombLengths[k] + kRightSpread, ratio));
        for (CombFilter* comb : {&left, &right}) {
            comb->feedback = roomSize;
            comb->damping = damping * 0.4;
        }
    }
    if (clear) {
        for (AllpassFilter& allpass : allpasses_) {
            std::fill(allpass.line.begin(), allpass.line.end(), 0.0);
        }
        for (CombFilter& comb : combs_) {
            std::fill(comb.line.begin(), comb.line.end(), 0.0);
        }
    }
}

void Reverberator::ProcessReverberator(double& left, double& right) {
    const double inputLeft = left * 0.015;
    const double inputRight = right * 0.015;
    double sumLeft = 0.0;
    double sumRight = 0.0;
    for (int k = 0; k < kCombPairs; ++k) {
        sumLeft += StepComb(combs_[2 * k], inputLeft);
        sumRight += StepComb(combs_[2 * k + 1], inputRight);
    }
    double l = sumLeft;
    double r = sumRight;
    for (int k = 0; k < kStages; ++k) {
        l = StepAllpass(allpasses_[2 * k], l);
        r = StepAllpass(allpasses_[2 * k + 1], r);
    }
    left = l * width + r * (1 - width);
    right = r * width + l * (1 - width);
}
