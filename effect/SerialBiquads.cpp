#include "effect/SerialBiquads.h"

#include <type_traits>

namespace {

constexpr int kQuads = SerialBiquads::kQuads;
constexpr int kLastSection = SerialBiquads::kSections - 1;
// Where the last section's output is: the lane of its quad.
constexpr int kOutputQuad = kLastSection % kQuads;
constexpr int kOutputLane = kLastSection / kQuads;

// Whether quad q has a frame in any lane at step j of a run of frames: its lowest section starts
// first and its highest one ends last.
constexpr bool QuadWorks(int q, int j, int frames) {
    const int highest = q + 3 * kQuads <= kLastSection ? q + 3 * kQuads : q + 2 * kQuads;
    return j >= q && j - highest < frames;
}

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

// The values of quad q's sections; zero in the lanes past the last section, which stay idle.
KVX_VECTORISED_IN_CALLER void Gather(Double4& quad, const double* values,
                                     const int (&order)[SerialBiquads::kSections], int q) {
    const double last =
        q + 3 * kQuads < SerialBiquads::kSections ? values[order[q + 3 * kQuads]] : 0.0;
    quad =
        Double4{values[order[q]], values[order[q + kQuads]], values[order[q + 2 * kQuads]], last};
}

// Calls visit(std::integral_constant<int, n>()) with n = index, so that whatever it names by n
// is named by a constant, which lets the compiler keep every quad in registers. visit must be
// inlined (KVX_INLINED_LAMBDA) to be compiled for the caller's instruction set.
template <int kCount, int kIndex = 0, class Visit>
KVX_VECTORISED_IN_CALLER void WithConstant(int index, const Visit& visit) {
    if constexpr (kIndex < kCount) {
        if (index == kIndex) {
            visit(std::integral_constant<int, kIndex>());
        } else {
            WithConstant<kCount, kIndex + 1>(index, visit);
        }
    }
}

} // namespace

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
// step its first frame comes, it takes its memories from the bank, which still holds them as
// they were; at the step of its last frame, it writes them to the bank.
//
// A template only so that each form compiles its own copy for its instruction set.
template <class Unused>
KVX_VECTORISED_IN_CALLER void SerialBiquads::RunWavefront(const double* in, double* out,
                                                          int frames) {
    Quad quads[kQuads] = {};
#pragma GCC unroll 5
    for (int q = 0; q < kQuads; ++q) {
        Gather(quads[q].b0, bank_.b0, order_, q);
        Gather(quads[q].b1, bank_.b1, order_, q);
        Gather(quads[q].b2, bank_.b2, order_, q);
        Gather(quads[q].a1, bank_.a1, order_, q);
        Gather(quads[q].a2, bank_.a2, order_, q);
    }
    const int steps = frames + kLastSection;
    for (int j = 0; j < steps; ++j) {
        // Section j starts on frame 0 in this step.
        if (j <= kLastSection) {
            WithConstant<kQuads>(j % kQuads, [&](auto q) KVX_INLINED_LAMBDA {
                const Mask4 lane = kOneLane[j / kQuads];
                const int n = order_[j];
                const double x1 = bank_.x1[n], x2 = bank_.x2[n];
                const double y1 = bank_.y1[n], y2 = bank_.y2[n];
                Quad& quad = quads[q];
                quad.x1 = lane ? Double4{x1, x1, x1, x1} : quad.x1;
                quad.x2 = lane ? Double4{x2, x2, x2, x2} : quad.x2;
                quad.y1 = lane ? Double4{y1, y1, y1, y1} : quad.y1;
                quad.y2 = lane ? Double4{y2, y2, y2, y2} : quad.y2;
            });
        }
        // The last quad first, so that each quad reads what its predecessor made in the step
        // before. At a run's edges, quads with no frame in any lane are left alone.
        const Double4 last = quads[kQuads - 1].y1 + kDenormalOffset;
#pragma GCC unroll 4
        for (int q = kQuads - 1; q > 0; --q) {
            if (QuadWorks(q, j, frames)) {
                StepQuad(quads[q], quads[q - 1].y1 + kDenormalOffset);
            }
        }
        // (input, last[0], last[1], last[2]): each lane takes the one below it.
        const double input = j < frames ? in[j] : 0.0;
        const Double4 first = {input, input, input, input};
        StepQuad(quads[0], __builtin_shufflevector(first, last, 0, 4, 5, 6));
        // Section s finished the last frame in this step.
        const int s = j - (frames - 1);
        if (s >= 0) {
            WithConstant<kQuads>(s % kQuads, [&](auto q) KVX_INLINED_LAMBDA {
                WithConstant<4>(s / kQuads, [&](auto lane) KVX_INLINED_LAMBDA {
                    const int n = order_[s];
                    const Quad& quad = quads[q];
                    bank_.x1[n] = quad.x1[lane()];
                    bank_.x2[n] = quad.x2[lane()];
                    bank_.y1[n] = quad.y1[lane()];
                    bank_.y2[n] = quad.y2[lane()];
                });
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
