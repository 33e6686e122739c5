#pragma once

#include "raster/RasterBitmap.h"

#include <cstddef>

// A bitmap's pixels as rows, with the bottom-up storage already resolved. Every drawing routine
// goes through one so that flipped bitmaps and row spans are handled in a single place.
struct RasterView {
    RasterPixel* first = nullptr; // row 0, the top row
    ptrdiff_t step = 0;           // pixels from row y to row y + 1
    int width = 0;
    int height = 0;

    // Not valid (and drawn into or from as nothing) without bits or with a non-positive size.
    explicit RasterView(const RasterBitmap* bitmap) {
        if (!bitmap) {
            return;
        }
        RasterPixel* bits = bitmap->GetBits();
        const int w = bitmap->GetWidth();
        const int h = bitmap->GetHeight();
        const int span = bitmap->GetRowSpan();
        if (!bits || w <= 0 || h <= 0 || span < w) {
            return;
        }
        width = w;
        height = h;
        if (bitmap->IsFlipped()) {
            first = bits + ptrdiff_t(h - 1) * span;
            step = -ptrdiff_t(span);
        } else {
            first = bits;
            step = span;
        }
    }

    bool Valid() const { return first != nullptr; }
    RasterPixel* Row(int y) const { return first + y * step; }
};
