#include "platform/SurfaceBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <new>

// On X11 a 24- or 32-bit ZPixmap on a little-endian server uses the byte order blue, green, red,
// pad, so a plain heap buffer of these pixels goes to the window as it is.
struct SurfacePixelBuffer {
    SurfaceBufferShape shape;
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
    if (!SurfaceSizeAllowed(width, height)) {
        return nullptr;
    }
    auto* buffer = new (std::nothrow) SurfacePixelBuffer;
    if (!buffer) {
        return nullptr;
    }
    buffer->shape.bits = static_cast<uint32_t*>(std::calloc(size_t(width) * size_t(height), 4));
    if (!buffer->shape.bits) {
        delete buffer;
        return nullptr;
    }
    buffer->shape.width = width;
    buffer->shape.height = height;
    buffer->shape.bottomUp = bottomUp;
    *bits = buffer->shape.bits;
    return buffer;
}

void DestroySurfacePixelBuffer(SurfacePixelBuffer* buffer) {
    if (buffer) {
        std::free(buffer->shape.bits);
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
    return PixelsOfShape(surface && surface->selected ? &surface->selected->shape : nullptr);
}
