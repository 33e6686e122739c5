#include "raster/RasterSourceAlphaAdd.h"

#include "raster/RasterBlend.h"

#if defined(__x86_64__) || defined(__i386__)
#define KVX_RASTER_X86 1
#include <immintrin.h>
#endif

void RasterSourceAlphaAddRowScalar(RasterPixel* dest, const RasterPixel* src, int count, int w) {
    for (int i = 0; i < count; ++i) {
        dest[i] = raster_blend::AddSourceAlpha(dest[i], src[i], int(src[i] >> 24), w);
    }
}

#if KVX_RASTER_X86

// Per channel D + S x w' / 256, saturated, with w' = w x (a + 1) / 256 (a + 1 itself at full
// weight, where the product would not fit 16 bits). Alpha 0 gives w' of 0 or 1, which adds
// nothing, so it needs no special case. Both products stay within 16 unsigned bits.
__attribute__((target("sse2"))) static inline __m128i AddedWide(__m128i s, __m128i w, bool full) {
    const __m128i a1 =
        _mm_add_epi16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF), _mm_set1_epi16(1));
    const __m128i scaled = full ? a1 : _mm_srli_epi16(_mm_mullo_epi16(a1, w), 8);
    return _mm_srli_epi16(_mm_mullo_epi16(s, scaled), 8);
}

__attribute__((target("sse2"))) static void
SourceAlphaAddRowSse2(RasterPixel* dest, const RasterPixel* src, int count, int weight) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = _mm_set1_epi16(short(weight));
    const bool full = weight == 256;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* out = reinterpret_cast<__m128i*>(dest + i);
        const __m128i added = _mm_packus_epi16(AddedWide(_mm_unpacklo_epi8(s, zero), w, full),
                                               AddedWide(_mm_unpackhi_epi8(s, zero), w, full));
        _mm_storeu_si128(out, _mm_adds_epu8(_mm_loadu_si128(out), added));
    }
    RasterSourceAlphaAddRowScalar(dest + i, src + i, count - i, weight);
}

__attribute__((target("avx2"))) static inline __m256i AddedWide(__m256i s, __m256i w, bool full) {
    const __m256i a1 = _mm256_add_epi16(
        _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF), _mm256_set1_epi16(1));
    const __m256i scaled = full ? a1 : _mm256_srli_epi16(_mm256_mullo_epi16(a1, w), 8);
    return _mm256_srli_epi16(_mm256_mullo_epi16(s, scaled), 8);
}

__attribute__((target("avx2"))) static void
SourceAlphaAddRowAvx2(RasterPixel* dest, const RasterPixel* src, int count, int weight) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i w = _mm256_set1_epi16(short(weight));
    const bool full = weight == 256;
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i* out = reinterpret_cast<__m256i*>(dest + i);
        // The unpacks and the pack all work within 128-bit lanes, so pixel order is kept.
        const __m256i added =
            _mm256_packus_epi16(AddedWide(_mm256_unpacklo_epi8(s, zero), w, full),
                                AddedWide(_mm256_unpackhi_epi8(s, zero), w, full));
        _mm256_storeu_si256(out, _mm256_adds_epu8(_mm256_loadu_si256(out), added));
    }
    SourceAlphaAddRowSse2(dest + i, src + i, count - i, weight);
}

RasterSourceAlphaAddRowFn RasterSourceAlphaAddRowSse2() {
    return __builtin_cpu_supports("sse2") ? SourceAlphaAddRowSse2 : nullptr;
}

RasterSourceAlphaAddRowFn RasterSourceAlphaAddRowAvx2() {
    return __builtin_cpu_supports("avx2") ? SourceAlphaAddRowAvx2 : nullptr;
}

#else

RasterSourceAlphaAddRowFn RasterSourceAlphaAddRowSse2() {
    return nullptr;
}
RasterSourceAlphaAddRowFn RasterSourceAlphaAddRowAvx2() {
    return nullptr;
}

#endif

RasterSourceAlphaAddRowFn RasterSourceAlphaAddRow() {
    static const RasterSourceAlphaAddRowFn chosen = [] {
        if (RasterSourceAlphaAddRowFn avx2 = RasterSourceAlphaAddRowAvx2()) {
            return avx2;
        }
        if (RasterSourceAlphaAddRowFn sse2 = RasterSourceAlphaAddRowSse2()) {
            return sse2;
        }
        return RasterSourceAlphaAddRowScalar;
    }();
    return chosen;
}
