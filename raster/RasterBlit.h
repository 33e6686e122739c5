#pragma once

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

// A source rectangle in source pixels; right and bottom are exclusive.
struct RasterRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Every blit draws nothing when a bitmap is null or has no pixels, when alpha is 0 or not a
// number, or when nothing is left after clipping to both bitmaps. The weight is alpha x 256.

// Draws the source rectangle (the whole source when null) with its top left at (x, y).
void RasterBlit(RasterBitmap* dest, const RasterBitmap* src, int x, int y,
                const RasterRect* srcRect, float alpha, RasterMode mode);

void RasterBlitRect(RasterBitmap* dest, const RasterBitmap* src, int x, int y, int srcX, int srcY,
                    int width, int height, float alpha, RasterMode mode);

// Gives dest the source's size and copies the source into it.
void RasterCopy(RasterBitmap* dest, const RasterBitmap* src);

// Draws the source rectangle (srcX, srcY, srcW, srcH) stretched onto the destination rectangle;
// negative destination sizes mirror. ModeFilter samples bilinearly, or by box filter when
// shrinking by 1.7 or more in both directions.
void RasterScaledBlit(RasterBitmap* dest, const RasterBitmap* src, int x, int y, int width,
                      int height, float srcX, float srcY, float srcW, float srcH, float alpha,
                      RasterMode mode);

// Draws the source rectangle turned by angle radians about its centre (moved by the offsets)
// into the destination rectangle. With clipToSource only pixels of the source rectangle are
// read; otherwise any pixel of the source bitmap.
void RasterRotatedBlit(RasterBitmap* dest, const RasterBitmap* src, int x, int y, int width,
                       int height, float srcX, float srcY, float srcW, float srcH, float angle,
                       bool clipToSource, float alpha, RasterMode mode, float xOffset,
                       float yOffset);
