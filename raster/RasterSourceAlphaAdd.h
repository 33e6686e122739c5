#pragma once

#include "raster/RasterBitmap.h"

// The row loop of the additive blend with source alpha (ModeAdd | ModeUseSourceAlpha) at weights
// 1 to 256, the additive controls' blend. The vector versions give exactly the pixels of the
// scalar one; the fastest the processor runs is chosen once.
using RasterSourceAlphaAddRowFn = void (*)(RasterPixel* dest, const RasterPixel* src, int count,
                                           int w);

void RasterSourceAlphaAddRowScalar(RasterPixel* dest, const RasterPixel* src, int count, int w);
// Null where the processor or the build has no such path.
RasterSourceAlphaAddRowFn RasterSourceAlphaAddRowSse2();
RasterSourceAlphaAddRowFn RasterSourceAlphaAddRowAvx2();

RasterSourceAlphaAddRowFn RasterSourceAlphaAddRow();
