#include "raster/RasterBlit.h"

#include "raster/RasterBlend.h"
#include "raster/RasterSampling.h"
#include "raster/RasterView.h"

#include <cmath>
#include <cstdint>

using namespace raster_blend;
using namespace raster_sampling;

namespace {

// The destination rectangle after clipping and the 16.16 source walk over it.
struct ScaledWalk {
    RasterView dest;
    RasterView src;
    int x, y, width, height;
    int64_t sx, dx, sy, dy;
    int xlimit, ylimit; // samples only at 0 <= i < xlimit, 0 <= j < ylimit
};

// The integer source position of a 16.16 value: the value / 65536 truncated toward zero, so a
// walk running backwards still samples column 0 for values just below zero. A position counts
// as negative (outside the source) when bit 15 of that integer is set; within the 32-bit range
// of the walk that is exactly when it is below zero.
inline int64_t SamplePosition(int64_t value) {
    return value / 65536;
}

struct NearestSampler {
    static bool Sample(const ScaledWalk& k, int64_t px, int64_t py, RasterPixel* out) {
        const int64_t i = SamplePosition(px), j = SamplePosition(py);
        if (i < 0 || j < 0 || i >= k.xlimit || j >= k.ylimit) {
            return false;
        }
        *out = k.src.Row(int(j))[i];
        return true;
    }
};

struct BilinearSampler {
    static bool Sample(const ScaledWalk& k, int64_t px, int64_t py, RasterPixel* out) {
        const int64_t i = SamplePosition(px), j = SamplePosition(py);
        if (i < 0 || j < 0 || i >= k.xlimit || j >= k.ylimit) {
            return false;
        }
        *out = Bilinear(k.src, int(i), int(j), uint32_t(px & 0xFFFF), uint32_t(py & 0xFFFF),
                        k.xlimit - 1, k.ylimit - 1);
        return true;
    }
};

// Equal-weight average of the (2R + 1) x (2R + 1) taps around the sample inside the limits.
template <int R> struct BoxSampler {
    static bool Sample(const ScaledWalk& k, int64_t px, int64_t py, RasterPixel* out) {
        const int64_t ci = SamplePosition(px), cj = SamplePosition(py);
        uint32_t b = 0, g = 0, r = 0, a = 0, taps = 0;
        for (int64_t j = cj - R; j <= cj + R; ++j) {
            if (j < 0 || j >= k.ylimit) {
                continue;
            }
            const RasterPixel* row = k.src.Row(int(j));
            for (int64_t i = ci - R; i <= ci + R; ++i) {
                if (i < 0 || i >= k.xlimit) {
                    continue;
                }
                const RasterPixel p = row[i];
                b += p & 0xFF;
                g += (p >> 8) & 0xFF;
                r += (p >> 16) & 0xFF;
                a += p >> 24;
                ++taps;
            }
        }
        if (taps == 0) {
            return false;
        }
        *out = Pack(int(b / taps), int(g / taps), int(r / taps), int(a / taps));
        return true;
    }
};

inline RasterPixel AverageOp(RasterPixel d, RasterPixel s, int, int) {
    return Average(d, s);
}

template <class Sampler, PixelOp Op> void ScaledRows(const ScaledWalk& k, int w) {
    int64_t py = k.sy;
    for (int row = 0; row < k.height; ++row, py += k.dy) {
        RasterPixel* d = k.dest.Row(k.y + row) + k.x;
        int64_t px = k.sx;
        for (int i = 0; i < k.width; ++i, px += k.dx) {
            RasterPixel s;
            if (Sampler::Sample(k, px, py, &s)) {
                d[i] = Op(d[i], s, int(s >> 24), w);
            }
        }
    }
}

template <class Sampler> void ScaledRows(const ScaledWalk& k, uint32_t mode, int w) {
    switch (mode & kRasterOperationMask) {
    case ModeCopy:
        if (w >= 1) {
            ScaledRows<Sampler, Copy>(k, w);
        }
        break;
    case ModeAdd:
        ScaledRows<Sampler, Add>(k, w);
        break;
    case ModeDodge:
        ScaledRows<Sampler, Dodge>(k, w);
        break;
    case ModeMultiply:
        ScaledRows<Sampler, Multiply>(k, w);
        break;
    case ModeSoftLight:
        ScaledRows<Sampler, SoftLight>(k, w);
        break;
    case ModeHsvAdjust:
        ScaledRows<Sampler, HsvAdjust>(k, w);
        break;
    case ModeUseSourceAlpha | ModeCopy:
        ScaledRows<Sampler, CopySourceAlpha>(k, w);
        break;
    case ModeUseSourceAlpha | ModeAdd:
        ScaledRows<Sampler, AddSourceAlpha>(k, w);
        break;
    case ModeUseSourceAlpha | ModeDodge:
        ScaledRows<Sampler, DodgeSourceAlpha>(k, w);
        break;
    case ModeUseSourceAlpha | ModeMultiply:
        ScaledRows<Sampler, MultiplySourceAlpha>(k, w);
        break;
    case ModeUseSourceAlpha | ModeSoftLight:
        ScaledRows<Sampler, SoftLightSourceAlpha>(k, w);
        break;
    case ModeUseSourceAlpha | ModeHsvAdjust:
        ScaledRows<Sampler, HsvAdjustSourceAlpha>(k, w);
        break;
    default:
        break;
    }
}

int HoldInInt(float v) {
    if (v >= 1073741824.0f) {
        return 1073741824;
    }
    if (v <= -1073741824.0f) {
        return -1073741824;
    }
    return int(v);
}

// Drops the columns (or rows) that would sample left of 0 or at or beyond the source's extent,
// for a forward walk. Returns the new count.
int64_t TrimWalk(int64_t* s, int64_t step, int64_t* pos, int64_t count, int extent) {
    if (step < 1) {
        return count;
    }
    if (*s < 0) {
        const int64_t n = (step - *s - 1) / step;
        *s += n * step;
        *pos += n;
        count -= n;
    }
    if (((count - 1) * step + *s) / 65536 >= extent) {
        const int64_t fit = (int64_t(extent) * 65536 - *s - 65536) / step;
        count = fit < count ? fit : count;
    }
    return count;
}

} // namespace

void RasterScaledBlit(RasterBitmap* dest, const RasterBitmap* src, int x, int y, int width,
                      int height, float srcX, float srcY, float srcW, float srcH, float alpha,
                      RasterMode mode) {
    if (!dest || !src || width == 0 || height == 0 || alpha == 0.0f || !(alpha == alpha)) {
        return;
    }
    if (!AllFinite({srcX, srcY, srcW, srcH})) {
        return;
    }
    const uint32_t filter = mode & 0xFF00;
    if (std::fabs(srcW - float(width)) < 0.001f && std::fabs(srcH - float(height)) < 0.001f) {
        const float X = srcX + 0.5f, Y = srcY + 0.5f;
        if (filter != ModeFilter ||
            (std::fabs(srcX - std::floor(X)) < 0.03f && std::fabs(srcY - std::floor(Y)) < 0.03f)) {
            const int left = HoldInInt(X), top = HoldInInt(Y);
            RasterBlitRect(dest, src, x, y, left, top, width, height, alpha, mode);
            return;
        }
    }
    ScaledWalk k{RasterView(dest), RasterView(src), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (!k.dest.Valid() || !k.src.Valid()) {
        return;
    }
    int64_t dx0 = x, dy0 = y, dw = width, dh = height;
    raster_sampling::Unmirror(dx0, dw, srcX, srcW);
    raster_sampling::Unmirror(dy0, dh, srcY, srcH);
    const float xstep = srcW / float(dw), ystep = srcH / float(dh);
    const float limitRight = std::ceil(srcX + (srcW > 0.0f ? srcW : 0.0f));
    const float limitBottom = std::ceil(srcY + (srcH > 0.0f ? srcH : 0.0f));
    if (dx0 < 0) {
        dw += dx0;
        srcX -= float(dx0) * xstep;
        dx0 = 0;
    }
    if (dy0 < 0) {
        dh += dy0;
        srcY -= float(dy0) * ystep;
        dy0 = 0;
    }
    if (dx0 + dw > k.dest.width) {
        dw = k.dest.width - dx0;
    }
    if (dy0 + dh > k.dest.height) {
        dh = k.dest.height - dy0;
    }
    if (dw < 1 || dh < 1) {
        return;
    }
    if (!ToFixed(srcX, &k.sx) || !ToFixed(xstep, &k.dx) || !ToFixed(srcY, &k.sy) ||
        !ToFixed(ystep, &k.dy)) {
        return;
    }
    dw = TrimWalk(&k.sx, k.dx, &dx0, dw, k.src.width);
    dh = TrimWalk(&k.sy, k.dy, &dy0, dh, k.src.height);
    if (dw < 1 || dh < 1) {
        return;
    }
    k.xlimit = limitRight >= float(k.src.width) ? k.src.width : HoldInInt(limitRight);
    k.ylimit = limitBottom >= float(k.src.height) ? k.src.height : HoldInInt(limitBottom);
    if (k.xlimit < 1 || k.ylimit < 1) {
        return;
    }
    k.x = int(dx0);
    k.y = int(dy0);
    k.width = int(dw);
    k.height = int(dh);

    const int w = WeightFromAlpha(alpha);
    if (w == 0) {
        return;
    }
    if ((mode & 0x1FFFF) == 0 && (w == 256 || w == 128)) {
        if (w == 256) {
            ScaledRows<NearestSampler, Copy>(k, w);
        } else {
            ScaledRows<NearestSampler, AverageOp>(k, w);
        }
        return;
    }
    if (filter == ModeFilter && xstep >= 1.7f && ystep >= 1.7f) {
        if ((k.dx > k.dy ? k.dx : k.dy) <= 0x30000) {
            ScaledRows<BoxSampler<1>>(k, mode, w);
        } else {
            ScaledRows<BoxSampler<2>>(k, mode, w);
        }
        return;
    }
    if (filter == ModeFilter) {
        ScaledRows<BilinearSampler>(k, mode, w);
    } else {
        ScaledRows<NearestSampler>(k, mode, w);
    }
}
