#include "effect/SerialBiquads.h"

#include "effect/FourWide.h"
#include "effect/LanePair.h"

#include <immintrin.h>

void SerialBiquads::Load(const BiquadBank& bank, const int (&order)[kSections]) {
    for (int s = 0; s < kLanes; ++s) {
        // Lanes past the last section are idle: zero coefficients keep them at zero.
        const bool used = s < kSections;
        const int n = used ? order[s] : 0;
        const int i = Index(s);
        b0_[i] = used ? bank.b0[n] : 0.0;
        b1_[i] = used ? bank.b1[n] : 0.0;
        b2_[i] = used ? bank.b2[n] : 0.0;
        a1_[i] = used ? bank.a1[n] : 0.0;
        a2_[i] = used ? bank.a2[n] : 0.0;
        x1_[i] = used ? bank.x1[n] : 0.0;
        x2_[i] = used ? bank.x2[n] : 0.0;
        y1_[i] = used ? bank.y1[n] : 0.0;
        y2_[i] = used ? bank.y2[n] : 0.0;
    }
}

void SerialBiquads::Store(BiquadBank& bank, const int (&order)[kSections]) const {
    for (int s = 0; s < kSections; ++s) {
        const int i = Index(s);
        bank.x1[order[s]] = x1_[i];
        bank.x2[order[s]] = x2_[i];
        bank.y1[order[s]] = y1_[i];
        bank.y2[order[s]] = y2_[i];
    }
}

void SerialBiquads::Run(const double* in, double* out, int frames) {
    if (HasFourWide()) {
        RunFourWide(in, out, frames);
    } else {
        RunTwoWide(in, out, frames);
    }
}

namespace {

constexpr int kQuads = SerialBiquads::kQuads;
constexpr int kLastSection = SerialBiquads::kSections - 1;
// Where the last section's output is: the lane of its quad.
constexpr int kOutputQuad = kLastSection % kQuads;
constexpr int kOutputLane = kLastSection / kQuads;
static_assert(kOutputLane == 3, "the output is read from a quad's top lane");

inline bool FrameInRange(int frame, int frames) {
    return frame >= 0 && frame < frames;
}

// The series' input at step j: nothing once the frames have all gone in.
template <bool kEdge> inline double InputAt(const double* in, int j, int frames) {
    return !kEdge || j < frames ? in[j] : 0.0;
}

} // namespace

// One wavefront step, two lanes per vector: the quads' low and high halves. At the edges of a
// run some sections have no frame to work on: kEdge masks their memories so that they stay as
// they were.
template <bool kEdge>
inline void SerialBiquads::StepTwoWide(int j, const double* in, double* out, int frames) {
    const __m128d offset = _mm_set1_pd(kDenormalOffset);
    const int lastQuad = 4 * (kQuads - 1);
    const __m128d lastLow = _mm_add_pd(_mm_load_pd(&y1_[lastQuad]), offset);
    const __m128d lastHigh = _mm_add_pd(_mm_load_pd(&y1_[lastQuad + 2]), offset);
    // The last quad first: each quad reads the outputs its predecessor made in the step before.
    for (int q = kQuads - 1; q >= 0; --q) {
        for (int half = 0; half < 2; ++half) {
            const int i = 4 * q + 2 * half;
            __m128d x;
            if (q > 0) {
                x = _mm_add_pd(_mm_load_pd(&y1_[i - 4]), offset);
            } else if (half == 0) {
                x = _mm_unpacklo_pd(_mm_set_sd(InputAt<kEdge>(in, j, frames)), lastLow);
            } else {
                x = _mm_shuffle_pd(lastLow, lastHigh, 1);
            }
            const __m128d x1 = _mm_load_pd(&x1_[i]);
            const __m128d y1 = _mm_load_pd(&y1_[i]);
            const __m128d y = _mm_sub_pd(
                _mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_load_pd(&b0_[i]), x),
                                                 _mm_mul_pd(_mm_load_pd(&b1_[i]), x1)),
                                      _mm_mul_pd(_mm_load_pd(&b2_[i]), _mm_load_pd(&x2_[i]))),
                           _mm_mul_pd(_mm_load_pd(&a1_[i]), y1)),
                _mm_mul_pd(_mm_load_pd(&a2_[i]), _mm_load_pd(&y2_[i])));
            if (kEdge) {
                const int lane = 2 * half;
                const __m128d valid = LaneMask(FrameInRange(j - q - kQuads * lane, frames),
                                               FrameInRange(j - q - kQuads * (lane + 1), frames));
                _mm_store_pd(&x2_[i], SelectLanes(valid, x1, _mm_load_pd(&x2_[i])));
                _mm_store_pd(&x1_[i], SelectLanes(valid, x, x1));
                _mm_store_pd(&y2_[i], SelectLanes(valid, y1, _mm_load_pd(&y2_[i])));
                _mm_store_pd(&y1_[i], SelectLanes(valid, y, y1));
            } else {
                _mm_store_pd(&x2_[i], x1);
                _mm_store_pd(&x1_[i], x);
                _mm_store_pd(&y2_[i], y1);
                _mm_store_pd(&y1_[i], y);
            }
        }
    }
    const int done = j - kLastSection;
    if (!kEdge || FrameInRange(done, frames)) {
        out[done] = y1_[Index(kLastSection)] + kDenormalOffset;
    }
}

void SerialBiquads::RunTwoWide(const double* in, double* out, int frames) {
    const int steps = frames + kLastSection;
    int j = 0;
    for (; j < kLastSection && j < steps; ++j) {
        StepTwoWide<true>(j, in, out, frames);
    }
    for (; j < frames; ++j) {
        StepTwoWide<false>(j, in, out, frames);
    }
    for (; j < steps; ++j) {
        StepTwoWide<true>(j, in, out, frames);
    }
}

namespace {

// One quad's coefficients and memories, held in registers through a run.
struct Quad {
    __m256d b0, b1, b2, a1, a2;
    __m256d x1, x2, y1, y2;
};

KVX_FOUR_WIDE inline void StepQuad(Quad& quad, __m256d x) {
    const __m256d y =
        _mm256_sub_pd(_mm256_sub_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(quad.b0, x),
                                                                _mm256_mul_pd(quad.b1, quad.x1)),
                                                  _mm256_mul_pd(quad.b2, quad.x2)),
                                    _mm256_mul_pd(quad.a1, quad.y1)),
                      _mm256_mul_pd(quad.a2, quad.y2));
    quad.x2 = quad.x1;
    quad.x1 = x;
    quad.y2 = quad.y1;
    quad.y1 = y;
}

// All bits set in one lane of four.
KVX_FOUR_WIDE inline __m256d OneLane(int lane) {
    alignas(32) static const long long masks[4][4] = {
        {-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, -1}};
    return _mm256_castsi256_pd(_mm256_load_si256(reinterpret_cast<const __m256i*>(masks[lane])));
}

} // namespace

// Every lane of every quad steps at every step, so a run has no masks. A section whose frame
// has not come yet, or has gone, works on nothing of use, and two fixes make up for it: at the
// step its first frame comes, its memories are taken again from the arrays, which still hold
// them as they were; at the step of its last frame, they are written to the arrays.
KVX_FOUR_WIDE void SerialBiquads::RunFourWide(const double* in, double* out, int frames) {
    Quad quads[kQuads];
    for (int q = 0; q < kQuads; ++q) {
        const int i = 4 * q;
        quads[q] = {_mm256_load_pd(&b0_[i]), _mm256_load_pd(&b1_[i]), _mm256_load_pd(&b2_[i]),
                    _mm256_load_pd(&a1_[i]), _mm256_load_pd(&a2_[i]), _mm256_load_pd(&x1_[i]),
                    _mm256_load_pd(&x2_[i]), _mm256_load_pd(&y1_[i]), _mm256_load_pd(&y2_[i])};
    }
    const __m256d offset = _mm256_set1_pd(kDenormalOffset);
    const int steps = frames + kLastSection;
    for (int j = 0; j < steps; ++j) {
        // Section j starts on frame 0 in this step.
        if (j <= kLastSection) {
            Quad& quad = quads[j % kQuads];
            const int i = 4 * (j % kQuads);
            const __m256d lane = OneLane(j / kQuads);
            quad.x1 = _mm256_blendv_pd(quad.x1, _mm256_load_pd(&x1_[i]), lane);
            quad.x2 = _mm256_blendv_pd(quad.x2, _mm256_load_pd(&x2_[i]), lane);
            quad.y1 = _mm256_blendv_pd(quad.y1, _mm256_load_pd(&y1_[i]), lane);
            quad.y2 = _mm256_blendv_pd(quad.y2, _mm256_load_pd(&y2_[i]), lane);
        }
        // The last quad first, so that each quad reads what its predecessor made in the step
        // before.
        const __m256d last = _mm256_add_pd(quads[kQuads - 1].y1, offset);
#pragma GCC unroll 4
        for (int q = kQuads - 1; q > 0; --q) {
            StepQuad(quads[q], _mm256_add_pd(quads[q - 1].y1, offset));
        }
        // (input, last[0], last[1], last[2]): each lane takes the one below it.
        const __m256d first = _mm256_set1_pd(j < frames ? in[j] : 0.0);
        StepQuad(quads[0], _mm256_shuffle_pd(_mm256_permute2f128_pd(first, last, 0x21), last, 5));
        // Section s finished the last frame in this step.
        const int s = j - (frames - 1);
        if (s >= 0) {
            const Quad& quad = quads[s % kQuads];
            const int i = 4 * (s % kQuads);
            const __m256d lane = OneLane(s / kQuads);
            _mm256_store_pd(&x1_[i], _mm256_blendv_pd(_mm256_load_pd(&x1_[i]), quad.x1, lane));
            _mm256_store_pd(&x2_[i], _mm256_blendv_pd(_mm256_load_pd(&x2_[i]), quad.x2, lane));
            _mm256_store_pd(&y1_[i], _mm256_blendv_pd(_mm256_load_pd(&y1_[i]), quad.y1, lane));
            _mm256_store_pd(&y2_[i], _mm256_blendv_pd(_mm256_load_pd(&y2_[i]), quad.y2, lane));
        }
        const int done = j - kLastSection;
        if (done >= 0) {
            const __m128d top = _mm256_extractf128_pd(quads[kOutputQuad].y1, 1);
            out[done] = HighLane(top) + kDenormalOffset;
        }
    }
}
