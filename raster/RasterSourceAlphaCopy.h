#pragma once

#include "raster/RasterBitmap.h"

// The row loop of the source-alpha copy at full weight (mode ModeUseSourceAlpha, alpha 1.0),
// which draws every knob, LED and button frame. The vector versions give exactly the pixels of
// the scalar one; the fastest the processor runs is chosen once.
using RasterSourceAlphaCopyRowFn = void (*)(RasterPixel* dest, const RasterPixel* src, int count);

void RasterSourceAlphaCopyRowScalar(RasterPixel* dest, const RasterPixel* src, int count);
// Null where the processor or the build has no such path.
RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRowSse2();
RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRowAvx2();

RasterSourceAlphaCopyRowFn RasterSourceAlphaCopyRow();

// The same operation at a partial weight w, 1 <= w <= 255 (alpha 0.7 gives w = 179).
using RasterSourceAlphaBlendRowFn = void (*)(RasterPixel* dest, const RasterPixel* src, int count,
                                             int w);

void RasterSourceAlphaBlendRowScalar(RasterPixel* dest, const RasterPixel* src, int count, int w);
RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRowSse2();
RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRowAvx2();

RasterSourceAlphaBlendRowFn RasterSourceAlphaBlendRow();
