#pragma once

#include <cstdint>

// The OS side of a drawing surface. A surface handle is the object the editor window draws from
// (Windows: a memory device context; Linux: a record the X11 window reads its pixels through); a
// pixel buffer holds 32-bit pixels stored blue, green, red, alpha in memory, which the window
// shows without conversion (Windows: a DIB section). A buffer is attached to a handle by
// selecting it, as GDI does with a bitmap and a device context.
struct SurfaceHandle;
struct SurfacePixelBuffer;

// The pixels currently selected into a surface handle; all zero when none are.
struct SurfacePixels {
    const uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int rowSpan = 0; // pixels from one stored row to the next
    bool bottomUp = false;
};

SurfaceHandle* CreateSurfaceHandle();
void DestroySurfaceHandle(SurfaceHandle* surface);

// A buffer of width x height pixels, rows packed; *bits receives the first stored pixel. Returns
// null (and *bits null) when the size is not positive or the memory cannot be had.
SurfacePixelBuffer* CreateSurfacePixelBuffer(int width, int height, bool bottomUp, uint32_t** bits);
void DestroySurfacePixelBuffer(SurfacePixelBuffer* buffer);

// Attaches a buffer (or null) to the handle and returns the buffer attached before it.
SurfacePixelBuffer* SelectSurfacePixelBuffer(SurfaceHandle* surface, SurfacePixelBuffer* buffer);

SurfacePixels GetSurfacePixels(const SurfaceHandle* surface);
