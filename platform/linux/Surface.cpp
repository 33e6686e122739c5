#include "platform/Surface.h"

#include <cstdint>
#include <cstdlib>
#include <new>

// On X11 a 24- or 32-bit ZPixmap on a little-endian server uses the byte order blue, green, red,
// pad, so a plain heap buffer of these pixels goes to the window as it is.
struct SurfacePixelBuffer {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    bool bottomUp = false;
};

struct SurfaceHandle {
    SurfacePixelBuffer* selected = nullptr;
};

SurfaceHandle* CreateSurfaceHandle() {
    return new (std::nothrow) SurfaceHandle;
}

void DestroySurfaceHandle(SurfaceHandle* surface) {
    delete surface;
}

SurfacePixelBuffer* CreateSurfacePixelBuffer(int width, int height, bool bottomUp,
                                             uint32_t** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0 || int64_t(width) * height * 4 > INT32_MAX) {
        return nullptr;
    }
    auto* buffer = new (std::nothrow) SurfacePixelBuffer;
    if (!buffer) {
        return nullptr;
    }
    buffer->bits = static_cast<uint32_t*>(std::calloc(size_t(width) * size_t(height), 4));
    if (!buffer->bits) {
        delete buffer;
        return nullptr;
    }
    buffer->width = width;
    buffer->height = height;
    buffer->bottomUp = bottomUp;
    *bits = buffer->bits;
    return buffer;
}

void DestroySurfacePixelBuffer(SurfacePixelBuffer* buffer) {
    if (buffer) {
        std::free(buffer->bits);
        delete buffer;
    }
}

SurfacePixelBuffer* SelectSurfacePixelBuffer(SurfaceHandle* surface, SurfacePixelBuffer* buffer) {
    if (!surface) {
        return nullptr;
    }
    SurfacePixelBuffer* previous = surface->selected;
    surface->selected = buffer;
    return previous;
}

SurfacePixels GetSurfacePixels(const SurfaceHandle* surface) {
    SurfacePixels pixels;
    if (surface && surface->selected) {
        const SurfacePixelBuffer& b = *surface->selected;
        pixels.bits = b.bits;
        pixels.width = b.width;
        pixels.height = b.height;
        pixels.rowSpan = b.width;
        pixels.bottomUp = b.bottomUp;
    }
    return pixels;
}
