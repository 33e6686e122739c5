#pragma once

#include "platform/Surface.h"

#include <cstdint>

// What the pixel buffer of every system records of its pixels; each system's buffer holds one
// and adds its own handles.
struct SurfaceBufferShape {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    bool bottomUp = false;
};

// A buffer of width x height 32-bit pixels can be made: both positive, at most 2 GiB.
inline bool SurfaceSizeAllowed(int width, int height) {
    return width > 0 && height > 0 && int64_t(width) * height * 4 <= INT32_MAX;
}

// The pixels of a buffer's shape, rows packed; all zero for none.
inline SurfacePixels PixelsOfShape(const SurfaceBufferShape* shape) {
    SurfacePixels pixels;
    if (shape) {
        pixels.bits = shape->bits;
        pixels.width = shape->width;
        pixels.height = shape->height;
        pixels.rowSpan = shape->width;
        pixels.bottomUp = shape->bottomUp;
    }
    return pixels;
}
