#pragma once

// Source sampling shared by the scaled and rotated blits: 16.16 fixed-point bilinear
// interpolation with its last-row and last-column rules.

#include "raster/RasterBlend.h"
#include "raster/RasterView.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace raster_sampling {

// A negative destination width or height mirrors the picture: turns it into a positive size
// with the source walked from its other side.
inline void Unmirror(int64_t& dx0, int64_t& dw, float& srcX, float& srcW) {
    if (dw < 0) {
        dx0 += dw;
        dw = -dw;
        srcX += srcW;
        srcW = -srcW;
    }
}

// Blends two pixels per channel: (a x (65536 - f) + b x f) >> 16.
inline RasterPixel Lerp(RasterPixel a, RasterPixel b, uint32_t f) {
    const uint32_t g = 65536 - f;
    RasterPixel out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= ((ca * g + cb * f) >> 16) << shift;
    }
    return out;
}

// Bilinear sample at integer position (i, j) with fractions fx, fy (0..0xFFFF). The caller has
// checked that (i, j) lies within [0, lastCol] x [0, lastRow] of the view; neighbours are only
// read below those limits.
inline RasterPixel Bilinear(const RasterView& v, int i, int j, uint32_t fx, uint32_t fy,
                            int lastCol, int lastRow) {
    const RasterPixel* top = v.Row(j) + i;
    if (j < lastRow) {
        const RasterPixel* bottom = v.Row(j + 1) + i;
        if (i < lastCol) {
            const uint32_t br = (fx * fy) >> 16;
            const uint32_t tr = fx - br;
            const uint32_t bl = fy - br;
            const uint32_t tl = 65536 - fx - fy + br;
            RasterPixel out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const uint32_t sum =
                    tl * ((top[0] >> shift) & 0xFF) + tr * ((top[1] >> shift) & 0xFF) +
                    bl * ((bottom[0] >> shift) & 0xFF) + br * ((bottom[1] >> shift) & 0xFF);
                out |= (sum >> 16) << shift;
            }
            return out;
        }
        return Lerp(top[0], bottom[0], fy);
    }
    if (i < lastCol) {
        return Lerp(top[0], top[1], fx);
    }
    return top[0];
}

// v x 65536 truncated to a 32-bit int; false when it does not fit (or v is not a number).
inline bool ToFixed(float v, int64_t* out) {
    const float t = v * 65536.0f;
    if (!(std::fabs(t) < 2147483648.0f)) {
        return false;
    }
    *out = int32_t(t);
    return true;
}

inline bool AllFinite(std::initializer_list<float> values) {
    for (float v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

} // namespace raster_sampling
