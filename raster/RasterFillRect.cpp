#include "raster/RasterPrimitives.h"

#include "raster/RasterPlot.h"

#include <cstdint>

using namespace raster_plot;

namespace {

// The rectangle cut to the bitmap; false when nothing is left.
bool ClipRect(const RasterView& view, int x, int y, int width, int height, int* x0, int* y0, int* w,
              int* h) {
    int64_t left = x, top = y, cw = width, ch = height;
    if (left < 0) {
        cw += left;
        left = 0;
    }
    if (top < 0) {
        ch += top;
        top = 0;
    }
    if (left + cw > view.width) {
        cw = view.width - left;
    }
    if (top + ch > view.height) {
        ch = view.height - top;
    }
    if (cw <= 0 || ch <= 0) {
        return false;
    }
    *x0 = int(left);
    *y0 = int(top);
    *w = int(cw);
    *h = int(ch);
    return true;
}

template <class F> void ForEachPixel(const RasterView& v, int x0, int y0, int w, int h, F f) {
    for (int y = y0; y < y0 + h; ++y) {
        RasterPixel* row = v.Row(y) + x0;
        for (int i = 0; i < w; ++i) {
            row[i] = f(row[i]);
        }
    }
}

} // namespace

void RasterFillRect(RasterBitmap* bitmap, int x, int y, int width, int height, RasterPixel colour,
                    float alpha, RasterMode mode) {
    if (mode & ModeUseSourceAlpha) {
        alpha *= float(colour >> 24) * 0.003921569f;
    }
    const RasterView view(bitmap);
    int x0, y0, w, h;
    if (alpha == 0.0f || !view.Valid() || !ClipRect(view, x, y, width, height, &x0, &y0, &w, &h)) {
        return;
    }
    const int op = PrimitiveOperation(mode);
    const int weight = raster_blend::WeightFromAlpha(alpha);
    if (op < 0 || weight == 0) {
        return;
    }
    if (op == 0) {
        switch (weight) {
        case 256:
            ForEachPixel(view, x0, y0, w, h, [colour](RasterPixel) { return colour; });
            return;
        case 128:
            ForEachPixel(view, x0, y0, w, h,
                         [colour](RasterPixel d) { return raster_blend::Average(d, colour); });
            return;
        case 64:
            ForEachPixel(view, x0, y0, w, h,
                         [colour](RasterPixel d) { return Quarter(d, colour); });
            return;
        case 192:
            ForEachPixel(view, x0, y0, w, h,
                         [colour](RasterPixel d) { return ThreeQuarters(d, colour); });
            return;
        default:
            if (weight < 1) {
                return;
            }
            break;
        }
    }
    // Here the weight itself plays the source alpha in the alpha channel.
    using namespace raster_blend;
    const RasterPixel c = colour;
    const int sw = weight;
    switch (op) {
    case 0:
        ForEachPixel(view, x0, y0, w, h, [c, sw](RasterPixel d) { return Copy(d, c, sw, sw); });
        break;
    case 1:
        ForEachPixel(view, x0, y0, w, h, [c, sw](RasterPixel d) { return Add(d, c, sw, sw); });
        break;
    case 2:
        ForEachPixel(view, x0, y0, w, h, [c, sw](RasterPixel d) { return Dodge(d, c, sw, sw); });
        break;
    case 3:
        ForEachPixel(view, x0, y0, w, h, [c, sw](RasterPixel d) { return Multiply(d, c, sw, sw); });
        break;
    case 4:
        ForEachPixel(view, x0, y0, w, h,
                     [c, sw](RasterPixel d) { return SoftLight(d, c, sw, sw); });
        break;
    default:
        ForEachPixel(view, x0, y0, w, h,
                     [c, sw](RasterPixel d) { return HsvAdjust(d, c, sw, sw); });
        break;
    }
}

void RasterMaskFill(RasterBitmap* bitmap, int x, int y, int width, int height, uint32_t andValue,
                    uint32_t orValue) {
    const RasterView view(bitmap);
    int x0, y0, w, h;
    if (!view.Valid() || !ClipRect(view, x, y, width, height, &x0, &y0, &w, &h)) {
        return;
    }
    ForEachPixel(view, x0, y0, w, h,
                 [andValue, orValue](RasterPixel d) { return (d & andValue) | orValue; });
}
