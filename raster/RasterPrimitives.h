#pragma once

#include "raster/RasterBitmap.h"
#include "raster/RasterMode.h"

// Single-colour drawing. The colour plays the source pixel of the blend formulas; the operation
// is the low byte of the mode (ModeCopy to ModeHsvAdjust; anything else draws nothing) and the
// weight is alpha x 256. Nothing is drawn into a null or empty bitmap or at weight 0. Angles are
// in radians, 0 pointing up from the centre and growing clockwise.

void RasterPutPixel(RasterBitmap* bitmap, int x, int y, RasterPixel colour, float alpha,
                    RasterMode mode);

// With ModeUseSourceAlpha the colour's own alpha scales the weight.
void RasterFillRect(RasterBitmap* bitmap, int x, int y, int width, int height, RasterPixel colour,
                    float alpha, RasterMode mode);

// Every pixel D of the rectangle becomes (D & andValue) | orValue.
void RasterMaskFill(RasterBitmap* bitmap, int x, int y, int width, int height, uint32_t andValue,
                    uint32_t orValue);

void RasterLine(RasterBitmap* bitmap, int x1, int y1, int x2, int y2, RasterPixel colour,
                float alpha, RasterMode mode, bool antiAlias);

void RasterCircle(RasterBitmap* bitmap, float cx, float cy, float radius, RasterPixel colour,
                  float alpha, RasterMode mode, bool antiAlias);

void RasterArc(RasterBitmap* bitmap, float cx, float cy, float radius, float startAngle,
               float endAngle, RasterPixel colour, float alpha, RasterMode mode, bool antiAlias);

// Blends the colour through an 8-bit coverage mask whose top left is at (x, y): coverage c
// weighs the colour by w x c / 256.
void RasterDrawMask(RasterBitmap* bitmap, int x, int y, RasterPixel colour,
                    const unsigned char* mask, int maskWidth, int maskHeight, float alpha,
                    RasterMode mode);
