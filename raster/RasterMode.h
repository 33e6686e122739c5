#pragma once

#include <cstdint>

// How a raster routine combines a source with the destination: the operation in bits 0-7,
// filtered sampling in bits 8-15, and whether each source pixel's alpha scales the weight.
using RasterMode = uint32_t;

enum : RasterMode {
    ModeCopy = 0,
    ModeAdd = 1,
    ModeDodge = 2,
    ModeMultiply = 3,
    ModeSoftLight = 4,
    ModeHsvAdjust = 5,
    // ModeChannelCopy + 4 * d + s copies byte s of each source pixel into byte d of the
    // destination (0 blue, 1 green, 2 red, 3 alpha); plain blits only.
    ModeChannelCopy = 0xF0,
    ModeFilter = 0x100,
    ModeUseSourceAlpha = 0x10000,
};

// The bits that select a blend formula: the operation and the source-alpha flag.
constexpr RasterMode kRasterOperationMask = 0x100FF;
