#include "raster/RasterBlit.h"

#include "raster/RasterBlend.h"
#include "raster/RasterSampling.h"
#include "raster/RasterView.h"

#include <cmath>
#include <cstdint>

using namespace raster_blend;
using namespace raster_sampling;

namespace {

// A source edge (a float limit) truncated to a column or row index within [0, extent].
int EdgeIndex(float v, int extent) {
    if (!(v > 0.0f)) {
        return 0;
    }
    return v >= float(extent) ? extent : int(v);
}

} // namespace

void RasterRotatedBlit(RasterBitmap* dest, const RasterBitmap* src, int x, int y, int width,
                       int height, float srcX, float srcY, float srcW, float srcH, float angle,
                       bool clipToSource, float alpha, RasterMode mode, float xOffset,
                       float yOffset) {
    if (!dest || !src || width == 0 || height == 0 || alpha == 0.0f || !(alpha == alpha)) {
        return;
    }
    if (!AllFinite({srcX, srcY, srcW, srcH, angle, xOffset, yOffset})) {
        return;
    }
    const RasterView dv(dest), sv(src);
    if (!dv.Valid() || !sv.Valid()) {
        return;
    }
    int xmin = 0, ymin = 0, xmax = sv.width, ymax = sv.height;
    if (clipToSource) {
        xmin = EdgeIndex(srcX, sv.width);
        ymin = EdgeIndex(srcY, sv.height);
        xmax = EdgeIndex(srcX + srcW, sv.width);
        ymax = EdgeIndex(srcY + srcH, sv.height);
    }
    if (xmin >= xmax || ymin >= ymax) {
        return;
    }

    const float c = std::cos(angle), s = std::sin(angle);
    int64_t dx0 = x, dy0 = y, dw = width, dh = height;
    raster_sampling::Unmirror(dx0, dw, srcX, srcW);
    raster_sampling::Unmirror(dy0, dh, srcY, srcH);
    const float xscale = srcW / float(dw), yscale = srcH / float(dh);
    const float colX = xscale * c, colY = -(yscale * s);
    const float rowX = xscale * s, rowY = yscale * c;
    float x0 = srcX - ((float(dh) * rowX + float(dw) * colX - srcW) / 2 - xOffset);
    float y0 = srcY - ((float(dw) * colY + float(dh) * rowY - srcH) / 2 - yOffset);
    if (dx0 < 0) {
        x0 -= float(dx0) * colX;
        y0 -= float(dx0) * colY;
        dw += dx0;
        dx0 = 0;
    }
    if (dy0 < 0) {
        x0 -= float(dy0) * rowX;
        y0 -= float(dy0) * rowY;
        dh += dy0;
        dy0 = 0;
    }
    if (dx0 + dw > dv.width) {
        dw = dv.width - dx0;
    }
    if (dy0 + dh > dv.height) {
        dh = dv.height - dy0;
    }
    if (dw < 1 || dh < 1) {
        return;
    }

    const int w = WeightFromAlpha(alpha);
    const PixelOp op = OperationFor(mode);
    if (w == 0 || !op || ((mode & kRasterOperationMask) == ModeCopy && w < 1)) {
        return;
    }
    int64_t px0, py0, cx, cy, rx, ry;
    if (!ToFixed(x0, &px0) || !ToFixed(y0, &py0) || !ToFixed(colX, &cx) || !ToFixed(colY, &cy) ||
        !ToFixed(rowX, &rx) || !ToFixed(rowY, &ry)) {
        return;
    }
    const bool filtered = (mode & 0xFF00) == ModeFilter;
    for (int row = 0; row < int(dh); ++row) {
        RasterPixel* d = dv.Row(int(dy0) + row) + dx0;
        int64_t px = px0 + row * rx, py = py0 + row * ry;
        for (int col = 0; col < int(dw); ++col, px += cx, py += cy) {
            const int64_t i = px / 65536, j = py / 65536;
            if (i < xmin || i >= xmax || j < ymin || j >= ymax) {
                continue;
            }
            const RasterPixel sample = filtered
                                           ? Bilinear(sv, int(i), int(j), uint32_t(px & 0xFFFF),
                                                      uint32_t(py & 0xFFFF), xmax - 1, ymax - 1)
                                           : sv.Row(int(j))[i];
            d[col] = op(d[col], sample, int(sample >> 24), w);
        }
    }
}
