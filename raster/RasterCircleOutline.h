#pragma once

// The general circle outline (midpoint or anti-aliased), shared by circles and arcs.

#include "raster/RasterBitmap.h"
#include "raster/RasterView.h"

// Pixels outside [left, right] x [top, bottom] (inclusive, within the bitmap) are skipped.
struct RasterClipBox {
    int left, top, right, bottom;
};

void RasterCircleOutline(const RasterView& view, float cx, float cy, float radius,
                         RasterPixel colour, int op, int w, bool antiAlias,
                         const RasterClipBox& clip);

// Whether a circle outline can be drawn at all: finite values, a radius neither negative nor so
// large that walking it would take unreasonable time.
bool RasterCircleDrawable(float cx, float cy, float radius);
