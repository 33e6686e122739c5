#include "raster/RasterPrimitives.h"

#include "raster/RasterPlot.h"

#include <cstdint>

using namespace raster_plot;

namespace {

enum : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

int OutCode(const RasterView& v, int64_t x, int64_t y) {
    return (x < 0 ? kLeft : 0) | (x >= v.width ? kRight : 0) | (y < 0 ? kAbove : 0) |
           (y >= v.height ? kBelow : 0);
}

int64_t HoldInInt(double v) {
    if (v > 2147483647.0) {
        return 2147483647;
    }
    if (v < -2147483648.0) {
        return -2147483648LL;
    }
    return int64_t(v);
}

// Cuts the line to the bitmap by outcodes; false when nothing of it is inside.
bool ClipLine(const RasterView& v, int64_t* x1, int64_t* y1, int64_t* x2, int64_t* y2) {
    // Each pass puts one end on an edge line; a few passes settle any line, and the bound keeps a
    // rounding ping-pong from running on.
    for (int pass = 0; pass < 8; ++pass) {
        const int c1 = OutCode(v, *x1, *y1), c2 = OutCode(v, *x2, *y2);
        if (!(c1 | c2)) {
            return true;
        }
        if (c1 & c2) {
            return false;
        }
        const bool first = c1 != 0;
        const int code = first ? c1 : c2;
        const double dx = double(*x2 - *x1), dy = double(*y2 - *y1);
        const double ax = double(*x1), ay = double(*y1);
        int64_t x, y;
        if (code & kBelow) {
            y = v.height - 1;
            x = *x1 + HoldInInt(dx * (v.height - ay) / dy);
        } else if (code & kAbove) {
            y = 0;
            x = *x1 - HoldInInt(dx * ay / dy);
        } else if (code & kRight) {
            x = v.width - 1;
            y = *y1 + HoldInInt(dy * (v.width - ax) / dx);
        } else {
            x = 0;
            y = *y1 - HoldInInt(dy * ax / dx);
        }
        if (first) {
            *x1 = x;
            *y1 = y;
        } else {
            *x2 = x;
            *y2 = y;
        }
    }
    return OutCode(v, *x1, *y1) == 0 && OutCode(v, *x2, *y2) == 0;
}

struct LinePainter {
    const RasterView& view;
    RasterPixel colour;
    int op;
    int w;

    void Put(int x, int y, int weight) const {
        if (Inside(view, x, y)) {
            RasterPixel& d = view.Row(y)[x];
            d = Blend(d, colour, op, weight);
        }
    }
    void PutSolid(int x, int y) const {
        if (Inside(view, x, y)) {
            RasterPixel& d = view.Row(y)[x];
            d = SolidPen{colour, op, w}.Apply(d);
        }
    }
};

// Horizontal and vertical runs: the quarter weights of ModeCopy have exact mixtures.
void StraightRun(const LinePainter& p, float alpha, int x, int y, int dx, int dy, int count) {
    const RasterPixel c = p.colour;
    for (int i = 0; i < count; ++i, x += dx, y += dy) {
        RasterPixel& d = p.view.Row(y)[x];
        if (p.op == 0 && alpha == 1.0f) {
            d = c;
        } else if (p.op == 0 && alpha == 0.5f) {
            d = raster_blend::Average(d, c);
        } else if (p.op == 0 && alpha == 0.25f) {
            d = Quarter(d, c);
        } else if (p.op == 0 && alpha == 0.75f) {
            d = ThreeQuarters(d, c);
        } else {
            d = Blend(d, c, p.op, p.w);
        }
    }
}

void Diagonal(const LinePainter& p, float alpha, bool antiAlias, int x, int y, int sx, int sy,
              int count) {
    const bool exact = p.op == 0 && alpha == 1.0f;
    for (int i = 0; i < count; ++i, x += sx, y += sy) {
        // The side neighbours fill the steps between this pixel and the next.
        const bool sides = antiAlias && i + 1 < count;
        if (exact && antiAlias) {
            RasterPixel& d = p.view.Row(y)[x];
            d = ThreeQuarters(d, p.colour);
            if (sides) {
                RasterPixel& a = p.view.Row(y)[x + sx];
                a = Quarter(a, p.colour);
                RasterPixel& b = p.view.Row(y + sy)[x];
                b = Quarter(b, p.colour);
            }
        } else if (antiAlias) {
            p.Put(x, y, p.w * 3 / 4);
            if (sides) {
                p.Put(x + sx, y, p.w / 4);
                p.Put(x, y + sy, p.w / 4);
            }
        } else {
            p.PutSolid(x, y);
        }
    }
}

// Any other slope, walked along the major axis from both ends at once so that a line looks the
// same whichever end it is given from. plot(major, minor, weight or -1 for solid).
template <class Plot>
void Sloped(int major1, int minor1, int major2, int minor2, bool antiAlias, int w, Plot plot) {
    if (major2 < major1) {
        int t = major1;
        major1 = major2;
        major2 = t;
        t = minor1;
        minor1 = minor2;
        minor2 = t;
    }
    const int64_t majorDelta = int64_t(major2) - major1;
    const int64_t minorDelta = int64_t(minor2) - minor1;
    const int step = minorDelta < 0 ? -1 : 1;
    const int64_t m = ((minorDelta < 0 ? -minorDelta : minorDelta) << 16) / majorDelta;
    const int64_t half = (majorDelta + 1) / 2;
    const bool middle = majorDelta % 2 == 0;
    int a = minor1, b = minor2;
    if (!antiAlias) {
        int64_t acc = 0;
        int64_t k = 0;
        for (; k < half; ++k) {
            plot(int(major1 + k), a, -1);
            plot(int(major2 - k), b, -1);
            acc += m;
            if (acc >= 0x8000) {
                a += step;
                b -= step;
                acc -= 0x10000;
            }
        }
        if (middle) {
            plot(int(major1 + k), a, -1);
        }
        return;
    }
    plot(major1, minor1, w);
    plot(major2, minor2, w);
    int64_t acc = m;
    const int64_t steps = half - 1 + (middle ? 1 : 0);
    for (int64_t k = 1; k <= steps; ++k) {
        const int f = int(acc >> 8);
        const int near = w == 256 ? 255 - f : (255 - f) * w / 256;
        const int far = w == 256 ? f : f * w / 256;
        plot(int(major1 + k), a, near);
        plot(int(major1 + k), a + step, far);
        if (!(middle && k == steps)) {
            plot(int(major2 - k), b, near);
            plot(int(major2 - k), b - step, far);
        }
        acc += m;
        if (acc > 0xFFFF) {
            a += step;
            b -= step;
            acc -= 0x10000;
        }
    }
}

} // namespace

void RasterLine(RasterBitmap* bitmap, int x1, int y1, int x2, int y2, RasterPixel colour,
                float alpha, RasterMode mode, bool antiAlias) {
    const RasterView view(bitmap);
    const int op = PrimitiveOperation(mode);
    const int w = raster_blend::WeightFromAlpha(alpha);
    if (!view.Valid() || op < 0 || w == 0 || (op == 0 && w < 1)) {
        return;
    }
    int64_t ax = x1, ay = y1, bx = x2, by = y2;
    if (!ClipLine(view, &ax, &ay, &bx, &by)) {
        return;
    }
    const LinePainter p{view, colour, op, w};
    const int sx = int(ax), sy = int(ay), ex = int(bx), ey = int(by);
    const int dx = ex - sx, dy = ey - sy;
    const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (dy == 0) {
        StraightRun(p, alpha, sx < ex ? sx : ex, sy, 1, 0, adx + 1);
    } else if (dx == 0) {
        StraightRun(p, alpha, sx, sy < ey ? sy : ey, 0, 1, ady + 1);
    } else if (adx == ady) {
        Diagonal(p, alpha, antiAlias, sx, sy, dx < 0 ? -1 : 1, dy < 0 ? -1 : 1, adx + 1);
    } else if (adx > ady) {
        Sloped(sx, sy, ex, ey, antiAlias, w, [&p](int x, int y, int weight) {
            weight < 0 ? p.PutSolid(x, y) : p.Put(x, y, weight);
        });
    } else {
        Sloped(sy, sx, ey, ex, antiAlias, w, [&p](int y, int x, int weight) {
            weight < 0 ? p.PutSolid(x, y) : p.Put(x, y, weight);
        });
    }
}
