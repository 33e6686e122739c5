#pragma once

#include <emmintrin.h>

// Two doubles side by side in one vector, named by lane: the low lane and the high lane. Each
// lane does exactly the scalar arithmetic it would do alone, so paired work is bit-identical to
// unpaired work.

inline __m128d Lanes(double low, double high) {
    return _mm_set_pd(high, low);
}

inline double LowLane(__m128d v) {
    return _mm_cvtsd_f64(v);
}

inline double HighLane(__m128d v) {
    return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
}

// A mask with all bits set in the lanes that are on.
inline __m128d LaneMask(bool lowOn, bool highOn) {
    return _mm_castsi128_pd(_mm_set_epi64x(highOn ? -1 : 0, lowOn ? -1 : 0));
}

// a in the lanes set in mask, b in the others.
inline __m128d SelectLanes(__m128d mask, __m128d a, __m128d b) {
    return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
}
