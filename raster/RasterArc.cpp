#include "raster/RasterCircleOutline.h"
#include "raster/RasterPrimitives.h"

#include "raster/RasterPlot.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kSlack = 1e-6f;

float Wrapped(float angle) {
    float a = std::fmod(angle, kTwoPi);
    if (a < 0.0f) {
        a += kTwoPi;
    }
    return a >= kTwoPi ? 0.0f : a;
}

// One part of at most half a turn: the whole outline restricted to the box that its two end
// points cut from the bitmap.
void DrawPart(const RasterView& view, float cx, float cy, float r, float start, float end,
              RasterPixel colour, int op, int w, bool antiAlias) {
    RasterClipBox box{0, 0, view.width - 1, view.height - 1};
    const auto narrowLeft = [&box](int x) { box.left = x > box.left ? x : box.left; };
    const auto narrowTop = [&box](int y) { box.top = y > box.top ? y : box.top; };
    const auto narrowRight = [&box](int x) { box.right = x < box.right ? x : box.right; };
    const auto narrowBottom = [&box](int y) { box.bottom = y < box.bottom ? y : box.bottom; };

    start = Wrapped(start);
    end = Wrapped(end);
    const int sx = int(cx + r * std::sin(start)), sy = int(cy - r * std::cos(start));
    const int ex = int(cx + r * std::sin(end)), ey = int(cy - r * std::cos(end));
    if (start < kSlack) {
        narrowLeft(sx);
    } else if (start < kPi / 2 + kSlack) {
        narrowTop(sy);
    } else if (start < kPi + kSlack) {
        narrowRight(sx);
    } else if (start >= 3 * kPi / 2 + kSlack) {
        narrowLeft(sx);
    } else {
        narrowBottom(sy);
    }
    if (end < kPi / 2 - kSlack) {
        narrowRight(ex);
    } else if (end < kPi - kSlack) {
        narrowBottom(ey);
    } else if (end >= 3 * kPi / 2 - kSlack) {
        narrowTop(ey);
    } else {
        narrowLeft(ex);
    }
    if (box.left <= box.right && box.top <= box.bottom) {
        RasterCircleOutline(view, cx, cy, r, colour, op, w, antiAlias, box);
    }
}

} // namespace

void RasterArc(RasterBitmap* bitmap, float cx, float cy, float radius, float startAngle,
               float endAngle, RasterPixel colour, float alpha, RasterMode mode, bool antiAlias) {
    const RasterView view(bitmap);
    const int op = raster_plot::PrimitiveOperation(mode);
    const int w = raster_blend::WeightFromAlpha(alpha);
    if (!view.Valid() || op < 0 || w == 0 || !RasterCircleDrawable(cx, cy, radius) ||
        !std::isfinite(startAngle) || !std::isfinite(endAngle) || endAngle < startAngle) {
        return;
    }
    if (endAngle - startAngle >= kTwoPi) {
        const RasterClipBox all{0, 0, view.width - 1, view.height - 1};
        RasterCircleOutline(view, cx, cy, radius, colour, op, w, antiAlias, all);
        return;
    }
    // Split at the half turns (0 and pi, and their repeats) into parts of at most half a turn.
    while (endAngle - startAngle > kPi) {
        const float split = (std::floor(startAngle / kPi) + 1.0f) * kPi;
        DrawPart(view, cx, cy, radius, startAngle, split, colour, op, w, antiAlias);
        startAngle = split;
    }
    DrawPart(view, cx, cy, radius, startAngle, endAngle, colour, op, w, antiAlias);
}
