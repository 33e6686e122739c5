#pragma once

#include "effect/BiquadBank.h"
#include "effect/LanePair.h"
#include "effect/OnePoleBank.h"

// Two biquad slots stepped side by side, one per lane, each lane with exactly the arithmetic of
// StepBiquad. Memories are copied in on construction.
struct BiquadPair {
    BiquadPair(const BiquadBank& bank, int low, int high)
        : lowSlot(low), highSlot(high), b0(Load(bank.b0)), b1(Load(bank.b1)), b2(Load(bank.b2)),
          a1(Load(bank.a1)), a2(Load(bank.a2)), x1(Load(bank.x1)), x2(Load(bank.x2)),
          y1(Load(bank.y1)), y2(Load(bank.y2)) {}

    __m128d Load(const double* values) const { return Lanes(values[lowSlot], values[highSlot]); }
    // Takes the memories of the lanes set in lanes from bank again.
    void Restore(const BiquadBank& bank, __m128d lanes) {
        x1 = SelectLanes(lanes, Load(bank.x1), x1);
        x2 = SelectLanes(lanes, Load(bank.x2), x2);
        y1 = SelectLanes(lanes, Load(bank.y1), y1);
        y2 = SelectLanes(lanes, Load(bank.y2), y2);
    }
    // Writes the memories of the low lane, the high lane or both to bank.
    void Save(BiquadBank& bank, bool low, bool high) const {
        const auto save = [&](__m128d from, double* to) {
            if (low) {
                _mm_storel_pd(&to[lowSlot], from);
            }
            if (high) {
                _mm_storeh_pd(&to[highSlot], from);
            }
        };
        save(x1, bank.x1);
        save(x2, bank.x2);
        save(y1, bank.y1);
        save(y2, bank.y2);
    }

    // Steps both lanes; returns the outputs plus kDenormalOffset.
    __m128d Step(__m128d x) {
        const __m128d y =
            _mm_sub_pd(_mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(b0, x), _mm_mul_pd(b1, x1)),
                                             _mm_mul_pd(b2, x2)),
                                  _mm_mul_pd(a1, y1)),
                       _mm_mul_pd(a2, y2));
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return _mm_add_pd(y, _mm_set1_pd(kDenormalOffset));
    }

    int lowSlot, highSlot;
    __m128d b0, b1, b2, a1, a2, x1, x2, y1, y2;
};

// Two one-pole low-pass sections stepped side by side, each lane with exactly the arithmetic of
// StepOnePole. The states are copied in on construction.
struct OnePolePair {
    OnePolePair(const OnePoleFamily& lowFamily, int low, const OnePoleFamily& highFamily, int high)
        : lowSlot(low), highSlot(high), g(Lanes(lowFamily.g[low], highFamily.g[high])),
          q(Lanes(lowFamily.q[low], highFamily.q[high])),
          state(Lanes(lowFamily.state[low], highFamily.state[high])) {}

    // Takes the states of the lanes set in lanes from the families again.
    void Restore(const OnePoleFamily& lowFamily, const OnePoleFamily& highFamily, __m128d lanes) {
        state =
            SelectLanes(lanes, Lanes(lowFamily.state[lowSlot], highFamily.state[highSlot]), state);
    }
    // Writes the state of the low lane, the high lane or both to the families.
    void Save(OnePoleFamily& lowFamily, OnePoleFamily& highFamily, bool low, bool high) const {
        if (low) {
            _mm_storel_pd(&lowFamily.state[lowSlot], state);
        }
        if (high) {
            _mm_storeh_pd(&highFamily.state[highSlot], state);
        }
    }

    // Steps both lanes; returns the low-pass outputs.
    __m128d Step(__m128d x) {
        state = _mm_sub_pd(_mm_mul_pd(g, x), _mm_mul_pd(q, state));
        return state;
    }

    int lowSlot, highSlot;
    __m128d g, q, state;
};
