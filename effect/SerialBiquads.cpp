#include "effect/SerialBiquads.h"

namespace {

__m128d Pair(const double* values, const int (&order)[SerialBiquads::kSections], int pair) {
    return _mm_set_pd(values[order[2 * pair + 1]], values[order[2 * pair]]);
}

void Unpair(__m128d v, double* values, const int (&order)[SerialBiquads::kSections], int pair) {
    _mm_storel_pd(&values[order[2 * pair]], v);
    _mm_storeh_pd(&values[order[2 * pair + 1]], v);
}

// Lanes of mask set: a; others: b.
inline __m128d Select(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}

} // namespace

void SerialBiquads::Load(const BiquadBank& bank, const int (&order)[kSections]) {
    for (int p = 0; p < kPairs; ++p) {
        b0_[p] = Pair(bank.b0, order, p);
        b1_[p] = Pair(bank.b1, order, p);
        b2_[p] = Pair(bank.b2, order, p);
        a1_[p] = Pair(bank.a1, order, p);
        a2_[p] = Pair(bank.a2, order, p);
        x1_[p] = Pair(bank.x1, order, p);
        x2_[p] = Pair(bank.x2, order, p);
        y1_[p] = Pair(bank.y1, order, p);
        y2_[p] = Pair(bank.y2, order, p);
        handed_[p] = _mm_setzero_pd();
    }
}

void SerialBiquads::Store(BiquadBank& bank, const int (&order)[kSections]) const {
    for (int p = 0; p < kPairs; ++p) {
        Unpair(x1_[p], bank.x1, order, p);
        Unpair(x2_[p], bank.x2, order, p);
        Unpair(y1_[p], bank.y1, order, p);
        Unpair(y2_[p], bank.y2, order, p);
    }
}

// One wavefront step. At the edges of a run some sections have no frame to work on: kEdge
// masks their memories so that they stay as they were.
template <bool kEdge>
inline void SerialBiquads::Step(int j, const double* in, double* out, int frames) {
    const __m128d offset = _mm_set1_pd(1e-20);
    // Highest pair first: each pair reads its neighbour's output of the previous step.
    for (int p = kPairs - 1; p >= 0; --p) {
        __m128d x;
        if (p == 0) {
            const double first = kEdge && j >= frames ? 0.0 : in[kEdge && j >= frames ? 0 : j];
            x = _mm_shuffle_pd(_mm_set_sd(first), handed_[0], 0); // (new input, section 0's last)
        } else {
            x = _mm_shuffle_pd(handed_[p - 1], handed_[p], 1);
        }
        const __m128d y = _mm_sub_pd(
            _mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(b0_[p], x), _mm_mul_pd(b1_[p], x1_[p])),
                                  _mm_mul_pd(b2_[p], x2_[p])),
                       _mm_mul_pd(a1_[p], y1_[p])),
            _mm_mul_pd(a2_[p], y2_[p]));
        if (kEdge) {
            const int t = j - 2 * p; // frame of the pair's first section
            const bool lowValid = t >= 0 && t < frames;
            const bool highValid = t - 1 >= 0 && t - 1 < frames;
            const __m128d valid =
                _mm_castsi128_pd(_mm_set_epi64x(highValid ? -1 : 0, lowValid ? -1 : 0));
            x2_[p] = Select(valid, x1_[p], x2_[p]);
            x1_[p] = Select(valid, x, x1_[p]);
            y2_[p] = Select(valid, y1_[p], y2_[p]);
            y1_[p] = Select(valid, y, y1_[p]);
        } else {
            x2_[p] = x1_[p];
            x1_[p] = x;
            y2_[p] = y1_[p];
            y1_[p] = y;
        }
        handed_[p] = _mm_add_pd(y, offset);
    }
    const int done = j - (kSections - 1);
    if (!kEdge || (done >= 0 && done < frames)) {
        _mm_storeh_pd(&out[done], handed_[kPairs - 1]);
    }
}

void SerialBiquads::Run(const double* in, double* out, int frames) {
    const int steps = frames + kSections - 1;
    const int steadyEnd = frames;
    int j = 0;
    for (; j < kSections - 1 && j < steps; ++j) {
        Step<true>(j, in, out, frames);
    }
    for (; j < steadyEnd; ++j) {
        Step<false>(j, in, out, frames);
    }
    for (; j < steps; ++j) {
        Step<true>(j, in, out, frames);
    }
}
