#include "raster/RasterCircleOutline.h"
#include "raster/RasterPrimitives.h"

#include "raster/RasterPlot.h"

#include <cmath>

using namespace raster_plot;

namespace {

// Coverage masks for the small radii; every mask is symmetric both ways.
const unsigned char kAa20[5 * 5] = {
    15, 191, 255, 191, 15, 191, 209, 79, 209, 191, 255, 79, 0,
    79, 255, 191, 209, 79, 209, 191, 15, 191, 255, 191, 15,
};
const unsigned char kAa25[6 * 6] = {
    15,  191, 255, 255, 191, 15,  191, 209, 79, 79, 209, 191, 255, 79,  0,   0,   79,  255,
    255, 79,  0,   0,   79,  255, 191, 209, 79, 79, 209, 191, 15,  191, 255, 255, 191, 15,
};
const unsigned char kPlain25[6 * 6] = {
    0,   0, 255, 255, 0, 0,   0, 255, 0, 0, 255, 0, 255, 0, 0,   0,   0, 255,
    255, 0, 0,   0,   0, 255, 0, 255, 0, 0, 255, 0, 0,   0, 255, 255, 0, 0,
};
const unsigned char kAa30[7 * 7] = {
    0,   143, 255, 255, 255, 143, 0,   143, 255, 97,  64,  97,  255, 143, 255, 112, 0,
    0,   0,   112, 255, 255, 48,  0,   0,   0,   48,  255, 255, 112, 0,   0,   0,   112,
    255, 143, 255, 97,  64,  97,  255, 143, 0,   143, 255, 255, 255, 143, 0,
};
const unsigned char kPlain30[7 * 7] = {
    0,   0, 255, 255, 255, 0, 0,   0, 255, 0, 0,   0,   255, 0, 255, 0, 0,
    0,   0, 0,   255, 255, 0, 0,   0, 0,   0, 255, 255, 0,   0, 0,   0, 0,
    255, 0, 255, 0,   0,   0, 255, 0, 0,   0, 255, 255, 255, 0, 0,
};
const unsigned char kAa35[8 * 8] = {
    0,   79,  222, 255, 255, 222, 79,  0,   79,  255, 176, 64,  64,  176, 255, 79,
    222, 176, 0,   0,   0,   0,   176, 222, 255, 64,  0,   0,   0,   0,   64,  255,
    255, 64,  0,   0,   0,   0,   64,  255, 222, 176, 0,   0,   0,   0,   176, 222,
    79,  255, 176, 64,  64,  176, 255, 79,  0,   79,  222, 255, 255, 222, 79,  0,
};
const unsigned char kPlain35[8 * 8] = {
    0,   0,   255, 255, 255, 255, 0,   0,   0,   255, 255, 0,   0,   255, 255, 0,
    255, 255, 0,   0,   0,   0,   255, 255, 255, 0,   0,   0,   0,   0,   0,   255,
    255, 0,   0,   0,   0,   0,   0,   255, 255, 255, 0,   0,   0,   0,   255, 255,
    0,   255, 255, 0,   0,   255, 255, 0,   0,   0,   255, 255, 255, 255, 0,   0,
};
const unsigned char kAa40[9 * 9] = {
    0,  31,  176, 255, 255, 255, 176, 31,  0,   31,  240, 209, 79, 64,  79,  209, 240,
    31, 176, 209, 15,  0,   0,   0,   15,  209, 176, 255, 79,  0,  0,   0,   0,   0,
    79, 255, 255, 48,  0,   0,   0,   0,   0,   48,  255, 255, 79, 0,   0,   0,   0,
    0,  79,  255, 176, 209, 15,  0,   0,   0,   15,  209, 176, 31, 240, 209, 79,  64,
    79, 209, 240, 31,  0,   31,  176, 255, 255, 255, 176, 31,  0,
};
const unsigned char kPlain40[9 * 9] = {
    0, 0,   255, 255, 255, 255, 255, 0,   0, 0, 255, 255, 0,   0,   0,   255, 255, 0, 255, 255, 0,
    0, 0,   0,   0,   255, 255, 255, 0,   0, 0, 0,   0,   0,   0,   255, 255, 0,   0, 0,   0,   0,
    0, 0,   255, 255, 0,   0,   0,   0,   0, 0, 0,   255, 255, 255, 0,   0,   0,   0, 0,   255, 255,
    0, 255, 255, 0,   0,   0,   255, 255, 0, 0, 0,   255, 255, 255, 255, 255, 0,   0,
};

struct SmallCircle {
    float radius;
    int size;
    const unsigned char* antiAliased;
    const unsigned char* plain; // null: the general outline draws the plain form
};

const SmallCircle kSmallCircles[] = {
    {2.0f, 5, kAa20, nullptr},  {2.5f, 6, kAa25, kPlain25}, {3.0f, 7, kAa30, kPlain30},
    {3.5f, 8, kAa35, kPlain35}, {4.0f, 9, kAa40, kPlain40},
};

struct OutlinePainter {
    const RasterView& view;
    const RasterClipBox& clip;
    RasterPixel colour;
    int op;

    void Put(float fx, float fy, const SolidPen& pen) const {
        const int x = int(fx), y = int(fy);
        if (x >= clip.left && x <= clip.right && y >= clip.top && y <= clip.bottom) {
            RasterPixel& d = view.Row(y)[x];
            d = pen.Apply(d);
        }
    }
    void PutWeighted(float fx, float fy, int weight) const {
        const int x = int(fx), y = int(fy);
        if (x >= clip.left && x <= clip.right && y >= clip.top && y <= clip.bottom) {
            RasterPixel& d = view.Row(y)[x];
            d = Blend(d, colour, op, weight);
        }
    }
};

} // namespace

bool RasterCircleDrawable(float cx, float cy, float radius) {
    // Far beyond any bitmap size; the walk is proportional to the radius.
    const float kLimit = 16777216.0f;
    return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(radius) && radius >= 0.0f &&
           radius < kLimit && std::fabs(cx) < kLimit && std::fabs(cy) < kLimit;
}

void RasterCircleOutline(const RasterView& view, float cx, float cy, float r, RasterPixel colour,
                         int op, int w, bool antiAlias, const RasterClipBox& clip) {
    const OutlinePainter p{view, clip, colour, op};
    if (!antiAlias) {
        const SolidPen pen{colour, op, w};
        p.Put(cx, cy + r, pen);
        p.Put(cx, cy - r, pen);
        p.Put(cx + r, cy, pen);
        p.Put(cx - r, cy, pen);
        float x = 0.0f, y = r, d = (5.0f - 4.0f * r) / 4.0f;
        do {
            x += 1.0f;
            const bool inward = d >= 0.0f;
            const float ny = inward ? y - 1.0f : y;
            p.Put(cx + x, cy + ny, pen);
            p.Put(cx - x, cy + ny, pen);
            p.Put(cx + x, cy - ny, pen);
            p.Put(cx - x, cy - ny, pen);
            p.Put(cx + ny, cy + x, pen);
            p.Put(cx - ny, cy + x, pen);
            p.Put(cx + ny, cy - x, pen);
            p.Put(cx - ny, cy - x, pen);
            d += inward ? 2.0f * (x - (y - 1.0f)) + 1.0f : 2.0f * x + 1.0f;
            y = ny;
        } while (x < y);
        return;
    }
    const auto eight = [&](float a, float b, int weight) {
        p.PutWeighted(cx + a, cy + b, weight);
        p.PutWeighted(cx - a, cy + b, weight);
        p.PutWeighted(cx + a, cy - b, weight);
        p.PutWeighted(cx - a, cy - b, weight);
        p.PutWeighted(cx + b, cy + a, weight);
        p.PutWeighted(cx - b, cy + a, weight);
        p.PutWeighted(cx + b, cy - a, weight);
        p.PutWeighted(cx - b, cy - a, weight);
    };
    for (float x = 0.0f; x <= r; x += 1.0f) {
        const float y = x == 0.0f ? r : std::sqrt(r * r - x * x);
        if (!(x < y + 1.0f)) {
            break;
        }
        const float whole = std::floor(y);
        const float fraction = y - whole;
        if (fraction > 0.0f) {
            const int outer = int(float(w) * fraction);
            eight(x, whole + 1.0f, outer);
            eight(x, whole, w - outer);
        } else {
            eight(x, y, w);
        }
    }
}

void RasterCircle(RasterBitmap* bitmap, float cx, float cy, float radius, RasterPixel colour,
                  float alpha, RasterMode mode, bool antiAlias) {
    const RasterView view(bitmap);
    const int op = PrimitiveOperation(mode);
    const int w = raster_blend::WeightFromAlpha(alpha);
    if (!view.Valid() || op < 0 || w == 0 || !RasterCircleDrawable(cx, cy, radius)) {
        return;
    }
    for (const SmallCircle& small : kSmallCircles) {
        const unsigned char* mask = antiAlias ? small.antiAliased : small.plain;
        if (radius == small.radius && mask) {
            RasterDrawMask(bitmap, int(cx - radius), int(cy - radius), colour, mask, small.size,
                           small.size, alpha, mode);
            return;
        }
    }
    const RasterClipBox all{0, 0, view.width - 1, view.height - 1};
    RasterCircleOutline(view, cx, cy, radius, colour, op, w, antiAlias, all);
}
