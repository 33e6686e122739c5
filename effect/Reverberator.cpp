#include "effect/Reverberator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <emmintrin.h>
#include <type_traits>

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

} // namespace

Reverberator::Reverberator() {
    ConfigureReverberator(false);
}

void Reverberator::Silence() {
    for (AllpassFilter& allpass : allpasses_) {
        std::fill(allpass.line.begin(), allpass.line.end(), 0.0);
    }
    for (CombFilter& comb : combs_) {
        std::fill(comb.line.begin(), comb.line.end(), 0.0);
        comb.store = 0.0;
    }
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
    ProcessReverberatorBlock(&left, &right, &left, &right, 1);
}

// Left and right elements run side by side, one per lane of a vector: each lane does exactly
// the scalar arithmetic of its element.
void Reverberator::ProcessReverberatorBlock(const double* inLeft, const double* inRight,
                                            double* outLeft, double* outRight, int frames) {
    constexpr int kCombs = 2 * kCombPairs;
    constexpr int kAllpasses = 2 * kStages;
    double* combLine[kCombs];
    int combPosition[kCombs];
    int combLength[kCombs];
    __m128d combFeedback[kCombPairs], combDamping[kCombPairs], combUndamped[kCombPairs];
    __m128d combStore[kCombPairs];
    for (int k = 0; k < kCombPairs; ++k) {
        const CombFilter& l = combs_[2 * k];
        const CombFilter& r = combs_[2 * k + 1];
        combFeedback[k] = _mm_set_pd(r.feedback, l.feedback);
        combDamping[k] = _mm_set_pd(r.damping, l.damping);
        combUndamped[k] = _mm_set_pd(1 - r.damping, 1 - l.damping);
        combStore[k] = _mm_set_pd(r.store, l.store);
    }
    for (int e = 0; e < kCombs; ++e) {
        combLine[e] = combs_[e].line.data();
        combPosition[e] = combs_[e].position;
        combLength[e] = int(combs_[e].line.size());
    }
    double* allpassLine[kAllpasses];
    int allpassPosition[kAllpasses];
    int allpassLength[kAllpasses];
    __m128d allpassFeedback[kStages];
    for (int k = 0; k < kStages; ++k) {
        allpassFeedback[k] = _mm_set_pd(allpasses_[2 * k + 1].feedback, allpasses_[2 * k].feedback);
    }
    for (int e = 0; e < kAllpasses; ++e) {
        allpassLine[e] = allpasses_[e].line.data();
        allpassPosition[e] = allpasses_[e].position;
        allpassLength[e] = int(allpasses_[e].line.size());
    }
    bool withoutDamping = true;
    for (const CombFilter& comb : combs_) {
        withoutDamping = withoutDamping && comb.damping == 0.0;
    }
    const __m128d smallest = _mm_set1_pd(DBL_MIN);
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFll));
    const __m128d widthV = _mm_set1_pd(width);
    const __m128d crossV = _mm_set1_pd(1 - width);
    // Zero and denormal values become +0 so that decaying tails never reach the slow denormal
    // range; NaN compares false and stays.
    const auto flushTiny = [&](__m128d v) {
        return _mm_andnot_pd(_mm_cmplt_pd(_mm_and_pd(v, magnitude), smallest), v);
    };
    // Runs of frames in which no line wraps need no position bookkeeping per frame.
    constexpr int kRunLimit = 256;
    __m128d sums[kRunLimit];
    for (int done = 0; done < frames;) {
        int run = std::min(frames - done, kRunLimit);
        for (int e = 0; e < kCombs; ++e) {
            run = std::min(run, combLength[e] - combPosition[e]);
        }
        for (int e = 0; e < kAllpasses; ++e) {
            run = std::min(run, allpassLength[e] - allpassPosition[e]);
        }
        double* comb[kCombs];
        double* allpass[kAllpasses];
        for (int e = 0; e < kCombs; ++e) {
            comb[e] = combLine[e] + combPosition[e];
        }
        for (int e = 0; e < kAllpasses; ++e) {
            allpass[e] = allpassLine[e] + allpassPosition[e];
        }
        // Combs first for the whole run, then the all-passes: frames are independent within a
        // run, so the in-order sums of neighbouring frames can overlap.
        // Five comb pairs at a time keep their constants in registers; the sums still add the
        // combs in order.
        constexpr int kGroup = kCombPairs / 2;
        const auto combGroups = [&](auto undamped) {
            for (int first = 0; first < kCombPairs; first += kGroup) {
                for (int f = 0; f < run; ++f) {
                    const int i = done + f;
                    const __m128d input =
                        _mm_mul_pd(_mm_set_pd(inRight[i], inLeft[i]), _mm_set1_pd(0.015));
                    __m128d sum = first == 0 ? _mm_setzero_pd() : sums[f];
                    for (int k = first; k < first + kGroup; ++k) {
                        double* left = comb[2 * k] + f;
                        double* right = comb[2 * k + 1] + f;
                        const __m128d o = _mm_loadh_pd(_mm_load_sd(left), right);
                        // Without damping, 1 x o + 0 x store is o itself (a zero of either
                        // sign is flushed to +0 alike), so the products can be skipped.
                        const __m128d store =
                            undamped
                                ? flushTiny(o)
                                : flushTiny(_mm_add_pd(_mm_mul_pd(combUndamped[k], o),
                                                       _mm_mul_pd(combDamping[k], combStore[k])));
                        combStore[k] = store;
                        const __m128d written =
                            _mm_add_pd(_mm_mul_pd(combFeedback[k], store), input);
                        _mm_storel_pd(left, written);
                        _mm_storeh_pd(right, written);
                        sum = _mm_add_pd(sum, o);
                    }
                    sums[f] = sum;
                }
            }
        };
        if (withoutDamping) {
            combGroups(std::true_type());
        } else {
            combGroups(std::false_type());
        }
        // Within a run no all-pass reads what it wrote, so two frames go through the stages
        // side by side and their dependency chains overlap.
        const auto allpassStage = [&](int k, int f, __m128d signal) {
            double* left = allpass[2 * k] + f;
            double* right = allpass[2 * k + 1] + f;
            const __m128d b = _mm_loadh_pd(_mm_load_sd(left), right);
            const __m128d written =
                flushTiny(_mm_add_pd(_mm_mul_pd(b, allpassFeedback[k]), signal));
            _mm_storel_pd(left, written);
            _mm_storeh_pd(right, written);
            return _mm_sub_pd(b, signal);
        };
        const auto output = [&](int f, __m128d signal) {
            const __m128d swapped = _mm_shuffle_pd(signal, signal, 1);
            const __m128d mixed =
                _mm_add_pd(_mm_mul_pd(signal, widthV), _mm_mul_pd(swapped, crossV));
            _mm_storel_pd(&outLeft[done + f], mixed);
            _mm_storeh_pd(&outRight[done + f], mixed);
        };
        int f = 0;
        for (; f + 1 < run; f += 2) {
            __m128d first = sums[f];
            __m128d second = sums[f + 1];
            for (int k = 0; k < kStages; ++k) {
                first = allpassStage(k, f, first);
                second = allpassStage(k, f + 1, second);
            }
            output(f, first);
            output(f + 1, second);
        }
        for (; f < run; ++f) {
            __m128d signal = sums[f];
            for (int k = 0; k < kStages; ++k) {
                signal = allpassStage(k, f, signal);
            }
            output(f, signal);
        }
        for (int e = 0; e < kCombs; ++e) {
            combPosition[e] += run;
            if (combPosition[e] == combLength[e]) {
                combPosition[e] = 0;
            }
        }
        for (int e = 0; e < kAllpasses; ++e) {
            allpassPosition[e] += run;
            if (allpassPosition[e] == allpassLength[e]) {
                allpassPosition[e] = 0;
            }
        }
        done += run;
    }

    for (int k = 0; k < kCombPairs; ++k) {
        _mm_storel_pd(&combs_[2 * k].store, combStore[k]);
        _mm_storeh_pd(&combs_[2 * k + 1].store, combStore[k]);
    }
    for (int e = 0; e < kCombs; ++e) {
        combs_[e].position = combPosition[e];
    }
    for (int e = 0; e < kAllpasses; ++e) {
        allpasses_[e].position = allpassPosition[e];
    }
}
