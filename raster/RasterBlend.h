#pragma once

// The per-pixel blend formulas. Every blit, fast path and vector primitive produces exactly the
// pixels these give, so the tests compare everything against them.
//
// Arguments: d the destination pixel, s the source pixel, sa the value the alpha channel takes
// as its source (the source's alpha byte, except for rectangle fills, which pass the weight), w
// the weight (alpha x 256). Division truncates toward zero, also for negative values, as C++ does.

#include "raster/RasterBitmap.h"

#include <cstdint>

namespace raster_blend {

inline int Ch(RasterPixel p, int shift) {
    return int((p >> shift) & 0xFF);
}

inline int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

inline RasterPixel Pack(int b, int g, int r, int a) {
    return (uint32_t(a & 0xFF) << 24) | (uint32_t(r & 0xFF) << 16) | (uint32_t(g & 0xFF) << 8) |
           uint32_t(b & 0xFF);
}

// Applies a channel formula f(D, S) to blue, green, red (S from s) and alpha (S = sa).
template <class F> inline RasterPixel PerChannel(RasterPixel d, RasterPixel s, int sa, F f) {
    return Pack(f(Ch(d, 0), Ch(s, 0)), f(Ch(d, 8), Ch(s, 8)), f(Ch(d, 16), Ch(s, 16)),
                f(Ch(d, 24), sa));
}

// The weight scaled by the source pixel's alpha a: w' = w x (a + 1) / 256.
inline int SourceAlphaWeight(int w, int a) {
    return w * (a + 1) / 256;
}

inline RasterPixel Average(RasterPixel d, RasterPixel s) {
    return ((s >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F);
}

inline RasterPixel Copy(RasterPixel d, RasterPixel s, int sa, int w) {
    if (w == 256) {
        return (s & 0x00FFFFFF) | (uint32_t(sa & 0xFF) << 24);
    }
    if (w < 1) {
        return d;
    }
    const int k = 256 - w;
    return PerChannel(d, s, sa, [k](int D, int S) { return S + (D - S) * k / 256; });
}

// The weighted copy without the special cases of Copy; any weight.
inline RasterPixel CopyWeighted(RasterPixel d, RasterPixel s, int sa, int w) {
    const int k = 256 - w;
    return PerChannel(d, s, sa, [k](int D, int S) { return S + (D - S) * k / 256; });
}

inline RasterPixel CopySourceAlpha(RasterPixel d, RasterPixel s, int sa, int w) {
    const int a = Ch(s, 24);
    if (a == 0) {
        return d;
    }
    if (w == 256) {
        if (a == 255) {
            return s | 0xFF000000;
        }
        const int k = 255 - a;
        const auto colour = [k](int D, int S) { return S + (D - S) * k / 256; };
        const int D = Ch(d, 24);
        return Pack(colour(Ch(d, 0), Ch(s, 0)), colour(Ch(d, 8), Ch(s, 8)),
                    colour(Ch(d, 16), Ch(s, 16)), (a + 1) + (D - a - 1) * k / 256);
    }
    return CopyWeighted(d, s, sa, SourceAlphaWeight(w, a));
}

inline RasterPixel Add(RasterPixel d, RasterPixel s, int sa, int w) {
    return PerChannel(d, s, sa, [w](int D, int S) { return Clamp255(D + S * w / 256); });
}

inline RasterPixel AddSourceAlpha(RasterPixel d, RasterPixel s, int sa, int w) {
    const int a = Ch(s, 24);
    return a == 0 ? d : Add(d, s, sa, SourceAlphaWeight(w, a));
}

inline RasterPixel Dodge(RasterPixel d, RasterPixel s, int sa, int w) {
    return PerChannel(d, s, sa, [w](int D, int S) {
        const int t = S * w / 256;
        return t > 254 ? Clamp255(D * 256) : Clamp255(D * 256 / (256 - t));
    });
}

inline RasterPixel DodgeSourceAlpha(RasterPixel d, RasterPixel s, int sa, int w) {
    return Dodge(d, s, sa, SourceAlphaWeight(w, Ch(s, 24)));
}

inline RasterPixel Multiply(RasterPixel d, RasterPixel s, int sa, int w) {
    return PerChannel(d, s, sa, [w](int D, int S) {
        return int((int64_t(S) * w + int64_t(256 - w) * 256) * D / 65536);
    });
}

inline RasterPixel MultiplySourceAlpha(RasterPixel d, RasterPixel s, int sa, int w) {
    const int a = Ch(s, 24);
    return a == 0 ? d : Multiply(d, s, sa, SourceAlphaWeight(w, a));
}

inline RasterPixel SoftLight(RasterPixel d, RasterPixel s, int sa, int w) {
    return PerChannel(d, s, sa, [w](int D, int S) {
        const int64_t t = int64_t(S) * w + int64_t(256 - w) * 128;
        const int64_t r = ((32768 - t) * D / 256 + t) * D / 32768;
        if (r >= 0 && r <= 255) {
            return int(r);
        }
        return (r & 0x10000) ? 0 : 255;
    });
}

inline RasterPixel SoftLightSourceAlpha(RasterPixel d, RasterPixel s, int sa, int w) {
    return SoftLight(d, s, sa, SourceAlphaWeight(w, Ch(s, 24)));
}

// T[0] = 0, T[i] = 65536 / i - 1.
extern const uint16_t HueReciprocalTable[256];

RasterPixel HsvAdjust(RasterPixel d, RasterPixel s, int sa, int w);

inline RasterPixel HsvAdjustSourceAlpha(RasterPixel d, RasterPixel s, int sa, int w) {
    return HsvAdjust(d, s, sa, SourceAlphaWeight(w, Ch(s, 24)));
}

// Byte sb of s into byte db of d.
inline RasterPixel ChannelCopy(RasterPixel d, RasterPixel s, int db, int sb) {
    const uint32_t byte = (s >> (8 * sb)) & 0xFF;
    return (d & ~(0xFFu << (8 * db))) | (byte << (8 * db));
}

using PixelOp = RasterPixel (*)(RasterPixel d, RasterPixel s, int sa, int w);

// The formula for mode & kRasterOperationMask, or null for a mode that draws nothing.
PixelOp OperationFor(uint32_t mode);

// Weight from a float alpha: alpha x 256 truncated, held to a range in which no formula
// overflows. Returns 0 for an alpha of 0 or not a number.
int WeightFromAlpha(float alpha);

} // namespace raster_blend
