#include "raster/RasterSourceAlphaCopy.h"

#include "raster/RasterBlend.h"

#if defined(__x86_64__) || defined(__i386__)
#define KVX_RASTER_X86 1
#include <immintrin.h>
#endif

void RasterSourceAlphaCopyRowScalar(RasterPixel* dest, const RasterPixel* src, int count) {
    for (int i = 0; i < count; ++i) {
        dest[i] = raster_blend::CopySourceAlpha(dest[i], src[i], int(src[i] >> 24), 256);
    }
}

void RasterSourceAlphaBlendRowScalar(RasterPixel* dest, const RasterPixel* src, int count, int w) {
    for (int i = 0; i < count; ++i) {
        dest[i] = raster_blend::CopySourceAlpha(dest[i], src[i], int(src[i] >> 24), w);
    }
}

#if KVX_RASTER_X86

// Two pixels widened to 16-bit lanes (blue, green, red, alpha each). Colour channels become
// S + (D - S) x k / 256 and alpha (a + 1) + (D - a - 1) x k / 256 with k = 255 - a, the
// division truncating toward zero: the magnitude is scaled and its sign put back.
__attribute__((target("sse2"))) static inline __m128i BlendWide(__m128i d, __m128i s) {
    const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i k = _mm_sub_epi16(_mm_set1_epi16(255), a);
    const __m128i base = _mm_add_epi16(s, _mm_set_epi16(1, 0, 0, 0, 1, 0, 0, 0));
    const __m128i diff = _mm_sub_epi16(d, base);
    const __m128i sign = _mm_srai_epi16(diff, 15);
    const __m128i mag = _mm_sub_epi16(_mm_xor_si128(diff, sign), sign);
    __m128i q = _mm_srli_epi16(_mm_mullo_epi16(mag, k), 8);
    q = _mm_sub_epi16(_mm_xor_si128(q, sign), sign);
    return _mm_add_epi16(base, q);
}

__attribute__((target("sse2"))) static void
SourceAlphaCopyRowSse2(RasterPixel* dest, const RasterPixel* src, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i alpha = _mm_srli_epi32(s, 24);
        const __m128i clear = _mm_cmpeq_epi32(alpha, zero);
        const __m128i solid = _mm_cmpeq_epi32(alpha, opaque);
        const int clearBits = _mm_movemask_epi8(clear);
        if (clearBits == 0xFFFF) {
            continue;
        }
        __m128i* out = reinterpret_cast<__m128i*>(dest + i);
        if (_mm_movemask_epi8(solid) == 0xFFFF) {
            _mm_storeu_si128(out, s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(out);
        const __m128i lo = BlendWide(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
        const __m128i hi = BlendWide(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
        __m128i r = _mm_packus_epi16(lo, hi);
        r = _mm_or_si128(_mm_andnot_si128(_mm_or_si128(clear, solid), r),
                         _mm_or_si128(_mm_and_si128(clear, d), _mm_and_si128(solid, s)));
        _mm_storeu_si128(out, r);
    }
    RasterSourceAlphaCopyRowScalar(dest + i, src + i, count - i);
}

// Two pixels widened to 16-bit lanes at weight w < 256: w' = w x (a + 1) / 256 and every channel
// (alpha included, its source being a) becomes S + (D - S) x (256 - w') / 256. Alpha 0 gives
// w' = 0 and leaves the destination as it is.
__attribute__((target("sse2"))) static inline __m128i BlendWeighted(__m128i d, __m128i s,
                                                                    __m128i w) {
    const __m128i a1 =
        _mm_add_epi16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF), _mm_set1_epi16(1));
    const __m128i scaled = _mm_srli_epi16(_mm_mullo_epi16(a1, w), 8);
    const __m128i k = _mm_sub_epi16(_mm_set1_epi16(256), scaled);
    const __m128i diff = _mm_sub_epi16(d, s);
    const __m128i sign = _mm_srai_epi16(diff, 15);
    const __m128i mag = _mm_sub_epi16(_mm_xor_si128(diff, sign), sign);
    __m128i q = _mm_srli_epi16(_mm_mullo_epi16(mag, k), 8);
    q = _mm_sub_epi16(_mm_xor_si128(q, sign), sign);
    return _mm_add_epi16(s, q);
}

__attribute__((target("sse2"))) static void
SourceAlphaBlendRowSse2(RasterPixel* dest, const RasterPixel* src, int count, int weight) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = _mm_set1_epi16(short(weight));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* out = reinterpret_cast<__m128i*>(dest + i);
        const __m128i d = _mm_loadu_si128(out);
        const __m128i lo = BlendWeighted(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), w);
        const __m128i hi = BlendWeighted(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), w);
        _mm_storeu_si128(out, _mm_packus_epi16(lo, hi));
    }
    RasterSourceAlphaBlendRowScalar(dest + i, src + i, count - i, weight);
}

__attribute__((target("avx2"))) static inline __m256i BlendWide(__m256i d, __m256i s) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m256i k = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    const __m256i base =
        _mm256_add_epi16(s, _mm256_set_epi16(1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0));
    const __m256i diff = _mm256_sub_epi16(d, base);
    const __m256i sign = _mm256_srai_epi16(diff, 15);
    const __m256i mag = _mm256_sub_epi16(_mm256_xor_si256(diff, sign), sign);
    __m256i q = _mm256_srli_epi16(_mm256_mullo_epi16(mag, k), 8);
    q = _mm256_sub_epi16(_mm256_xor_si256(q, sign), sign);
    return _mm256_add_epi16(base, q);
}

__attribute__((target("avx2"))) static void
SourceAlphaCopyRowAvx2(RasterPixel* dest, const RasterPixel* src, int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i opaque = _mm256_set1_epi32(255);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i alpha = _mm256_srli_epi32(s, 24);
        const __m256i clear = _mm256_cmpeq_epi32(alpha, zero);
        const __m256i solid = _mm256_cmpeq_epi32(alpha, opaque);
        if (_mm256_movemask_epi8(clear) == -1) {
            continue;
        }
        __m256i* out = reinterpret_cast<__m256i*>(dest + i);
        if (_mm256_movemask_epi8(solid) == -1) {
            _mm256_storeu_si256(out, s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(out);
        // The unpacks and the pack all work within 128-bit lanes, so pixel order is kept.
        const __m256i lo = BlendWide(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero));
        const __m256i hi = BlendWide(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero));
        __m256i r = _mm256_packus_epi16(lo, hi);
        r = _mm256_or_si256(
            _mm256_andnot_si256(_mm256_or_si256(clear, solid), r),
            _mm256_or_si256(_mm256_and_si256(clear, d), _mm256_and_si256(solid, s)));
        _mm256_storeu_si256(out, r);
    }
    SourceAlphaCopyRowSse2(dest + i, src + i, count - i);
}

__attribute__((target("avx2"))) static inline __m256i BlendWeighted(__m256i d, __m256i s,
                                                                    __m256i w) {
    const __m256i a1 = _mm256_add_epi16(
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF), _mm256_set1_epi16(1));
    const __m256i scaled = _mm256_srli_epi16(_mm256_mullo_epi16(a1, w), 8);
    const __m256i k = _mm256_sub_epi16(_mm256_set1_epi16(256), scaled);
    const __m256i diff = _mm256_sub_epi16(d, s);
    const __m256i sign = _mm256_srai_epi16(diff, 15);
    const __m256i mag = _mm256_sub_epi16(_mm256_xor_si256(diff, sign), sign);
    __m256i q = _mm256_srli_epi16(_mm256_mullo_epi16(mag, k), 8);
    q = _mm256_sub_epi16(_mm256_xor_si256(q, sign), sign);
    return _mm256_add_epi16(s, q);
}

__attribute__((target("avx2"))) static void
SourceAlphaBlendRowAvx2(RasterPixel* dest, const RasterPixel* src, int count, int weight) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i w = _mm256_set1_epi16(short(weight));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i* out = reinterpret_cast<__m256i*>(dest + i);
        const __m256i d = _mm256_loadu_si256(out);
        const __m256i lo =
            BlendWeighted(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(s, zero), w);
        const __m256i hi =
            BlendWeighted(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(s, zero), w);
        _mm256_storeu_si256(out, _mm256_packus_epi16(lo, hi));
    }
    SourceAlphaBlendRowSse2(dest + i, src + i, count - i, weight);
}

RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRowSse2() {
    return __builtin_cpu_supports("sse2") ? SourceAlphaBlendRowSse2 : nullptr;
}

RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRowAvx2() {
    return __builtin_cpu_supports("avx2") ? SourceAlphaBlendRowAvx2 : nullptr;
}

RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRowSse2() {
    return __builtin_cpu_supports("sse2") ? SourceAlphaCopyRowSse2 : nullptr;
}

RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRowAvx2() {
    return __builtin_cpu_supports("avx2") ? SourceAlphaCopyRowAvx2 : nullptr;
}

#else

// Without x86 vector units only the scalar rows exist.
RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRowSse2() {
    return nullptr;
}
RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRowAvx2() {
    return nullptr;
}
RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRowSse2() {
    return nullptr;
}
RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRowAvx2() {
    return nullptr;
}

#endif

RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRow() {
    static const RasterSourceAlphaCopyRowFn chosen = [] {
        if (RasterSourceAlphaCopyRowFn avx2 = RasterSourceAlphaCopyRowAvx2()) {
            return avx2;
        }
        if (RasterSourceAlphaCopyRowFn sse2 = RasterSourceAlphaCopyRowSse2()) {
            return sse2;
        }
        return RasterSourceAlphaCopyRowScalar;
    }();
    return chosen;
}

RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRow() {
    static const RasterSourceAlphaBlendRowFn chosen = [] {
        if (RasterSourceAlphaBlendRowFn avx2 = RasterSourceAlphaBlendRowAvx2()) {
            return avx2;
        }
        if (RasterSourceAlphaBlendRowFn sse2 = RasterSourceAlphaBlendRowSse2()) {
            return sse2;
        }
        return RasterSourceAlphaBlendRowScalar;
    }();
    return chosen;
}
