#include "effect/SerialBiquads.h"

#include <type_traits>

namespace {

constexpr int kQuads = SerialBiquads::kQuads;
constexpr int kLastSection = SerialBiquads::kSections - 1;
// Where the last section's output is: the lane of its quad.
constexpr int kOutputQuad = kLastSection % kQuads;
constexpr int kOutputLane = kLastSection / kQuads;

// All bits set in one lane of four.
constexpr Mask4 kOneLane[4] = {{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, -1}};

// One quad's coefficients and memories, held in registers through a run.
struct Quad {
    Double4 b0, b1, b2, a1, a2;
    Double4 x1, x2, y1, y2;
};

KVX_VECTORISED_IN_CALLER void StepQuad(Quad& quad, const Double4& x) {
    const Double4 y =
        quad.b0 * x + quad.b1 * quad.x1 + quad.b2 * quad.x2 - quad.a1 * quad.y1 - quad.a2 * quad.y2;
    quad.x2 = quad.x1;
    quad.x1 = x;
    quad.y2 = quad.y1;
    quad.y1 = y;
}

// Calls visit(std::integral_constant<int, q>()) for the quad q of section. The quad is then
// named by a constant wherever it is used, which lets the compiler keep every quad in registers.
// visit must be inlined (KVX_INLINED_LAMBDA) to be compiled for the caller's instruction set.
template <int kQuad = 0, class Visit>
KVX_VECTORISED_IN_CALLER void WithQuadOf(int section, const Visit& visit) {
    if constexpr (kQuad < kQuads) {
        if (section % kQuads == kQuad) {
            visit(std::integral_constant<int, kQuad>());
        } else {
            WithQuadOf<kQuad + 1>(section, visit);
        }
    }
}

} // namespace

void SerialBiquads::Load(const BiquadBank& bank, const int (&order)[kSections]) {
    for (int s = 0; s < 4 * kQuads; ++s) {
        // Lanes past the last section are idle: zero coefficients keep them at zero.
        const bool used = s < kSections;
        const int n = used ? order[s] : 0;
        const int q = s % kQuads, lane = s / kQuads;
        b0_[q].lane[lane] = used ? bank.b0[n] : 0.0;
        b1_[q].lane[lane] = used ? bank.b1[n] : 0.0;
        b2_[q].lane[lane] = used ? bank.b2[n] : 0.0;
        a1_[q].lane[lane] = used ? bank.a1[n] : 0.0;
        a2_[q].lane[lane] = used ? bank.a2[n] : 0.0;
        x1_[q].lane[lane] = used ? bank.x1[n] : 0.0;
        x2_[q].lane[lane] = used ? bank.x2[n] : 0.0;
        y1_[q].lane[lane] = used ? bank.y1[n] : 0.0;
        y2_[q].lane[lane] = used ? bank.y2[n] : 0.0;
    }
}

void SerialBiquads::Store(BiquadBank& bank, const int (&order)[kSections]) const {
    for (int s = 0; s < kSections; ++s) {
        const int q = s % kQuads, lane = s / kQuads;
        bank.x1[order[s]] = x1_[q].lane[lane];
        bank.x2[order[s]] = x2_[q].lane[lane];
        bank.y1[order[s]] = y1_[q].lane[lane];
        bank.y2[order[s]] = y2_[q].lane[lane];
    }
}

void SerialBiquads::Run(const double* in, double* out, int frames) {
    if (HasFourWide32()) {
        RunFourWide32(in, out, frames);
    } else if (HasFourWide()) {
        RunFourWide(in, out, frames);
    } else {
        RunTwoWide(in, out, frames);
    }
}

// Every lane of every quad steps at every step, so a run has no masks. A section whose frame
// has not come yet, or has gone, works on nothing of use, and two fixes make up for it: at the
// step its first frame comes, its memories are taken again from the arrays, which still hold
// them as they were; at the step of its last frame, they are written to the arrays.
//
// A template only so that each form compiles its own copy for its instruction set.
template <class Unused>
KVX_VECTORISED_IN_CALLER void SerialBiquads::RunWavefront(const double* in, double* out,
                                                          int frames) {
    Quad quads[kQuads];
#pragma GCC unroll 5
    for (int q = 0; q < kQuads; ++q) {
        quads[q] = {b0_[q].four, b1_[q].four, b2_[q].four, a1_[q].four, a2_[q].four,
                    x1_[q].four, x2_[q].four, y1_[q].four, y2_[q].four};
    }
    const int steps = frames + kLastSection;
    for (int j = 0; j < steps; ++j) {
        // Section j starts on frame 0 in this step.
        if (j <= kLastSection) {
            WithQuadOf(j, [&](auto q) KVX_INLINED_LAMBDA {
                const Mask4 lane = kOneLane[j / kQuads];
                Quad& quad = quads[q];
                quad.x1 = lane ? x1_[q].four : quad.x1;
                quad.x2 = lane ? x2_[q].four : quad.x2;
                quad.y1 = lane ? y1_[q].four : quad.y1;
                quad.y2 = lane ? y2_[q].four : quad.y2;
            });
        }
        // The last quad first, so that each quad reads what its predecessor made in the step
        // before.
        const Double4 last = quads[kQuads - 1].y1 + kDenormalOffset;
#pragma GCC unroll 4
        for (int q = kQuads - 1; q > 0; --q) {
            StepQuad(quads[q], quads[q - 1].y1 + kDenormalOffset);
        }
        // (input, last[0], last[1], last[2]): each lane takes the one below it.
        const double input = j < frames ? in[j] : 0.0;
        const Double4 first = {input, input, input, input};
        StepQuad(quads[0], __builtin_shuffle(first, last, Mask4{0, 4, 5, 6}));
        // Section s finished the last frame in this step.
        const int s = j - (frames - 1);
        if (s >= 0) {
            WithQuadOf(s, [&](auto q) KVX_INLINED_LAMBDA {
                const Mask4 lane = kOneLane[s / kQuads];
                const Quad& quad = quads[q];
                x1_[q].four = lane ? quad.x1 : x1_[q].four;
                x2_[q].four = lane ? quad.x2 : x2_[q].four;
                y1_[q].four = lane ? quad.y1 : y1_[q].four;
                y2_[q].four = lane ? quad.y2 : y2_[q].four;
            });
        }
        const int done = j - kLastSection;
        if (done >= 0) {
            out[done] = quads[kOutputQuad].y1[kOutputLane] + kDenormalOffset;
        }
    }
}

void SerialBiquads::RunTwoWide(const double* in, double* out, int frames) {
    RunWavefront<void>(in, out, frames);
}

KVX_FOUR_WIDE void SerialBiquads::RunFourWide(const double* in, double* out, int frames) {
    RunWavefront<void>(in, out, frames);
}

KVX_FOUR_WIDE_32 void SerialBiquads::RunFourWide32(const double* in, double* out, int frames) {
    RunWavefront<void>(in, out, frames);
}
