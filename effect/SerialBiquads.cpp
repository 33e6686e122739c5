#include "effect/SerialBiquads.h"

#include "effect/LanePair.h"

#include <immintrin.h>

#define KVX_FOUR_WIDE __attribute__((target("avx")))

void SerialBiquads::Load(const BiquadBank& bank, const int (&order)[kSections]) {
    for (int k = 0; k < kLanes; ++k) {
        // Lanes past the last section are idle: zero coefficients keep them at zero.
        const bool used = k < kSections;
        const int n = used ? order[k] : 0;
        b0_[k] = used ? bank.b0[n] : 0.0;
        b1_[k] = used ? bank.b1[n] : 0.0;
        b2_[k] = used ? bank.b2[n] : 0.0;
        a1_[k] = used ? bank.a1[n] : 0.0;
        a2_[k] = used ? bank.a2[n] : 0.0;
        x1_[k] = used ? bank.x1[n] : 0.0;
        x2_[k] = used ? bank.x2[n] : 0.0;
        y1_[k] = used ? bank.y1[n] : 0.0;
        y2_[k] = used ? bank.y2[n] : 0.0;
        handed_[k] = 0.0;
    }
}

void SerialBiquads::Store(BiquadBank& bank, const int (&order)[kSections]) const {
    for (int k = 0; k < kSections; ++k) {
        bank.x1[order[k]] = x1_[k];
        bank.x2[order[k]] = x2_[k];
        bank.y1[order[k]] = y1_[k];
        bank.y2[order[k]] = y2_[k];
    }
}

bool SerialBiquads::HasFourWide() {
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

void SerialBiquads::Run(const double* in, double* out, int frames) {
    if (HasFourWide()) {
        RunFourWide(in, out, frames);
    } else {
        RunTwoWide(in, out, frames);
    }
}

namespace {

inline bool FrameInRange(int frame, int frames) {
    return frame >= 0 && frame < frames;
}

} // namespace

// One wavefront step, two sections per vector. At the edges of a run some sections have no
// frame to work on: kEdge masks their memories so that they stay as they were.
template <bool kEdge>
inline void SerialBiquads::StepTwoWide(int j, const double* in, double* out, int frames) {
    constexpr int kPairs = kSections / 2;
    const __m128d offset = _mm_set1_pd(kDenormalOffset);
    // Highest pair first: each pair reads its neighbour's output of the previous step.
    for (int p = kPairs - 1; p >= 0; --p) {
        const __m128d before = _mm_load_pd(&handed_[2 * p]);
        __m128d x;
        if (p == 0) {
            const double first = !kEdge || j < frames ? in[!kEdge || j < frames ? j : 0] : 0.0;
            x = _mm_shuffle_pd(_mm_set_sd(first), before, 0); // (new input, section 0's last)
        } else {
            x = _mm_shuffle_pd(_mm_load_pd(&handed_[2 * p - 2]), before, 1);
        }
        const __m128d x1 = _mm_load_pd(&x1_[2 * p]);
        const __m128d y1 = _mm_load_pd(&y1_[2 * p]);
        const __m128d y = _mm_sub_pd(
            _mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_load_pd(&b0_[2 * p]), x),
                                             _mm_mul_pd(_mm_load_pd(&b1_[2 * p]), x1)),
                                  _mm_mul_pd(_mm_load_pd(&b2_[2 * p]), _mm_load_pd(&x2_[2 * p]))),
                       _mm_mul_pd(_mm_load_pd(&a1_[2 * p]), y1)),
            _mm_mul_pd(_mm_load_pd(&a2_[2 * p]), _mm_load_pd(&y2_[2 * p])));
        if (kEdge) {
            const __m128d valid =
                LaneMask(FrameInRange(j - 2 * p, frames), FrameInRange(j - 2 * p - 1, frames));
            _mm_store_pd(&x2_[2 * p], SelectLanes(valid, x1, _mm_load_pd(&x2_[2 * p])));
            _mm_store_pd(&x1_[2 * p], SelectLanes(valid, x, x1));
            _mm_store_pd(&y2_[2 * p], SelectLanes(valid, y1, _mm_load_pd(&y2_[2 * p])));
            _mm_store_pd(&y1_[2 * p], SelectLanes(valid, y, y1));
        } else {
            _mm_store_pd(&x2_[2 * p], x1);
            _mm_store_pd(&x1_[2 * p], x);
            _mm_store_pd(&y2_[2 * p], y1);
            _mm_store_pd(&y1_[2 * p], y);
        }
        _mm_store_pd(&handed_[2 * p], _mm_add_pd(y, offset));
    }
    const int done = j - (kSections - 1);
    if (!kEdge || FrameInRange(done, frames)) {
        out[done] = handed_[kSections - 1];
    }
}

void SerialBiquads::RunTwoWide(const double* in, double* out, int frames) {
    const int steps = frames + kSections - 1;
    int j = 0;
    for (; j < kSections - 1 && j < steps; ++j) {
        StepTwoWide<true>(j, in, out, frames);
    }
    for (; j < frames; ++j) {
        StepTwoWide<false>(j, in, out, frames);
    }
    for (; j < steps; ++j) {
        StepTwoWide<true>(j, in, out, frames);
    }
}

// The same step with four sections per vector.
template <bool kEdge>
KVX_FOUR_WIDE inline void SerialBiquads::StepFourWide(int j, const double* in, double* out,
                                                      int frames) {
    constexpr int kQuads = kLanes / 4;
    const __m256d offset = _mm256_set1_pd(kDenormalOffset);
    for (int q = kQuads - 1; q >= 0; --q) {
        const __m256d before = _mm256_load_pd(&handed_[4 * q]);
        __m256d previous;
        if (q == 0) {
            const double first = !kEdge || j < frames ? in[!kEdge || j < frames ? j : 0] : 0.0;
            previous = _mm256_set1_pd(first);
        } else {
            previous = _mm256_load_pd(&handed_[4 * q - 4]);
        }
        // (previous[3], before[0], before[1], before[2]): each lane takes its left neighbour.
        const __m256d x =
            _mm256_shuffle_pd(_mm256_permute2f128_pd(previous, before, 0x21), before, 5);
        const __m256d x1 = _mm256_load_pd(&x1_[4 * q]);
        const __m256d y1 = _mm256_load_pd(&y1_[4 * q]);
        const __m256d y = _mm256_sub_pd(
            _mm256_sub_pd(
                _mm256_add_pd(
                    _mm256_add_pd(_mm256_mul_pd(_mm256_load_pd(&b0_[4 * q]), x),
                                  _mm256_mul_pd(_mm256_load_pd(&b1_[4 * q]), x1)),
                    _mm256_mul_pd(_mm256_load_pd(&b2_[4 * q]), _mm256_load_pd(&x2_[4 * q]))),
                _mm256_mul_pd(_mm256_load_pd(&a1_[4 * q]), y1)),
            _mm256_mul_pd(_mm256_load_pd(&a2_[4 * q]), _mm256_load_pd(&y2_[4 * q])));
        if (kEdge) {
            const int t = j - 4 * q;
            const __m256d valid = _mm256_castsi256_pd(_mm256_set_epi64x(
                FrameInRange(t - 3, frames) ? -1 : 0, FrameInRange(t - 2, frames) ? -1 : 0,
                FrameInRange(t - 1, frames) ? -1 : 0, FrameInRange(t, frames) ? -1 : 0));
            _mm256_store_pd(&x2_[4 * q], _mm256_blendv_pd(_mm256_load_pd(&x2_[4 * q]), x1, valid));
            _mm256_store_pd(&x1_[4 * q], _mm256_blendv_pd(x1, x, valid));
            _mm256_store_pd(&y2_[4 * q], _mm256_blendv_pd(_mm256_load_pd(&y2_[4 * q]), y1, valid));
            _mm256_store_pd(&y1_[4 * q], _mm256_blendv_pd(y1, y, valid));
        } else {
            _mm256_store_pd(&x2_[4 * q], x1);
            _mm256_store_pd(&x1_[4 * q], x);
            _mm256_store_pd(&y2_[4 * q], y1);
            _mm256_store_pd(&y1_[4 * q], y);
        }
        _mm256_store_pd(&handed_[4 * q], _mm256_add_pd(y, offset));
    }
    const int done = j - (kSections - 1);
    if (!kEdge || FrameInRange(done, frames)) {
        out[done] = handed_[kSections - 1];
    }
}

KVX_FOUR_WIDE void SerialBiquads::RunFourWide(const double* in, double* out, int frames) {
    const int steps = frames + kSections - 1;
    int j = 0;
    for (; j < kSections - 1 && j < steps; ++j) {
        StepFourWide<true>(j, in, out, frames);
    }
    for (; j < frames; ++j) {
        StepFourWide<false>(j, in, out, frames);
    }
    for (; j < steps; ++j) {
        StepFourWide<true>(j, in, out, frames);
    }
}
