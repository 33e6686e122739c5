#pragma once

// Writing one colour into single pixels, shared by the vector primitives.

#include "raster/RasterBlend.h"
#include "raster/RasterView.h"

namespace raster_plot {

// The exact mixtures of colour P and destination D used at the common weights.
inline RasterPixel Quarter(RasterPixel d, RasterPixel p) { // 3/4 destination, 1/4 colour
    return ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F) + ((p >> 2) & 0x3F3F3F3F);
}
inline RasterPixel ThreeQuarters(RasterPixel d, RasterPixel p) {
    return ((p >> 1) & 0x7F7F7F7F) + ((p >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F);
}

// The formula of operation op (0 to 5) without source alpha, the colour's alpha byte playing the
// source alpha. Weight 0 leaves ModeCopy's pixel alone; the other formulas are applied as they
// are.
inline RasterPixel Blend(RasterPixel d, RasterPixel colour, int op, int w) {
    using namespace raster_blend;
    const int a = int(colour >> 24);
    switch (op) {
    case 0:
        return Copy(d, colour, a, w);
    case 1:
        return Add(d, colour, a, w);
    case 2:
        return Dodge(d, colour, a, w);
    case 3:
        return Multiply(d, colour, a, w);
    case 4:
        return SoftLight(d, colour, a, w);
    default:
        return HsvAdjust(d, colour, a, w);
    }
}

// The operation byte of a primitive's mode, or -1 when it draws nothing.
inline int PrimitiveOperation(uint32_t mode) {
    const int op = int(mode & 0xFF);
    return op <= 5 ? op : -1;
}

// One colour drawn at one weight: ModeCopy sets at full weight and averages at half weight.
struct SolidPen {
    RasterPixel colour;
    int op;
    int w;
    RasterPixel Apply(RasterPixel d) const {
        if (op == 0 && w == 256) {
            return colour;
        }
        if (op == 0 && w == 128) {
            return raster_blend::Average(d, colour);
        }
        return Blend(d, colour, op, w);
    }
};

inline bool Inside(const RasterView& v, int x, int y) {
    return x >= 0 && y >= 0 && x < v.width && y < v.height;
}

} // namespace raster_plot
