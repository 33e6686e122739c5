#pragma once

#include "effect/BiquadBank.h"
#include "effect/LanePair.h"
#include "effect/OnePoleBank.h"

// Two biquad slots stepped side by side, one per lane, each lane with exactly the arithmetic of
// StepBiquad. Memories are copied in on construction and back by StoreTo.
struct BiquadPair {
    BiquadPair(const BiquadBank& bank, int low, int high)
        : lowSlot(low), highSlot(high), b0(Load(bank.b0)), b1(Load(bank.b1)), b2(Load(bank.b2)),
          a1(Load(bank.a1)), a2(Load(bank.a2)), x1(Load(bank.x1)), x2(Load(bank.x2)),
          y1(Load(bank.y1)), y2(Load(bank.y2)) {}

    __m128d Load(const double* values) const { return Lanes(values[lowSlot], values[highSlot]); }
    void Unload(__m128d v, double* values) const {
        StoreLanes(v, &values[lowSlot], &values[highSlot]);
    }
    void StoreTo(BiquadBank& bank) const {
        Unload(x1, bank.x1);
        Unload(x2, bank.x2);
        Unload(y1, bank.y1);
        Unload(y2, bank.y2);
    }

    // Steps the lanes set in valid (all unless kEdge); returns the outputs plus kDenormalOffset.
    template <bool kEdge> __m128d Step(__m128d x, __m128d valid) {
        const __m128d y =
            _mm_sub_pd(_mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(b0, x), _mm_mul_pd(b1, x1)),
                                             _mm_mul_pd(b2, x2)),
                                  _mm_mul_pd(a1, y1)),
                       _mm_mul_pd(a2, y2));
        if (kEdge) {
            x2 = SelectLanes(valid, x1, x2);
            x1 = SelectLanes(valid, x, x1);
            y2 = SelectLanes(valid, y1, y2);
            y1 = SelectLanes(valid, y, y1);
        } else {
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
        }
        return _mm_add_pd(y, _mm_set1_pd(kDenormalOffset));
    }

    int lowSlot, highSlot;
    __m128d b0, b1, b2, a1, a2, x1, x2, y1, y2;
};

// Two one-pole low-pass sections stepped side by side, each lane with exactly the arithmetic of
// StepOnePole. The state is copied in on construction and back by Store.
struct OnePolePair {
    OnePolePair(OnePoleFamily& lowFamily, int low, OnePoleFamily& highFamily, int high)
        : lowFamily(lowFamily), highFamily(highFamily), lowSlot(low), highSlot(high),
          g(Lanes(lowFamily.g[low], highFamily.g[high])),
          q(Lanes(lowFamily.q[low], highFamily.q[high])),
          state(Lanes(lowFamily.state[low], highFamily.state[high])) {}

    void Store() const {
        StoreLanes(state, &lowFamily.state[lowSlot], &highFamily.state[highSlot]);
    }

    // Steps the lanes set in valid (all unless kEdge); returns the low-pass outputs.
    template <bool kEdge> __m128d Step(__m128d x, __m128d valid) {
        const __m128d y = _mm_sub_pd(_mm_mul_pd(g, x), _mm_mul_pd(q, state));
        state = kEdge ? SelectLanes(valid, y, state) : y;
        return y;
    }

    OnePoleFamily& lowFamily;
    OnePoleFamily& highFamily;
    int lowSlot, highSlot;
    __m128d g, q, state;
};
