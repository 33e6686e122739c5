#include "platform/SurfaceBuffer.h"
#include "platform/win32/SurfaceWin32.h"

#include <windows.h>

#include <new>

// A surface handle is a memory device context; a pixel buffer is a 32-bit DIB section, which
// GDI copies to a window without conversion.
struct SurfaceHandle {
    HDC dc = nullptr;
    HGDIOBJ originalBitmap = nullptr;
    SurfacePixelBuffer* selected = nullptr;
};

struct SurfacePixelBuffer {
    HBITMAP bitmap = nullptr;
    SurfaceBufferShape shape;
};

SurfaceHandle* CreateSurfaceHandle() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return nullptr;
    }
    auto* surface = new (std::nothrow) SurfaceHandle;
    if (!surface) {
        DeleteDC(dc);
        return nullptr;
    }
    surface->dc = dc;
    return surface;
}

void DestroySurfaceHandle(SurfaceHandle* surface) {
    if (!surface) {
        return;
    }
    if (surface->originalBitmap) {
        SelectObject(surface->dc, surface->originalBitmap);
    }
    DeleteDC(surface->dc);
    delete surface;
}

SurfacePixelBuffer* CreateSurfacePixelBuffer(int width, int height, bool bottomUp,
                                             uint32_t** bits) {
    *bits = nullptr;
    if (!SurfaceSizeAllowed(width, height)) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    // A negative height asks for rows stored top down.
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap || !pixels) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        return nullptr;
    }
    auto* buffer = new (std::nothrow) SurfacePixelBuffer;
    if (!buffer) {
        DeleteObject(bitmap);
        return nullptr;
    }
    buffer->bitmap = bitmap;
    buffer->shape.bits = static_cast<uint32_t*>(pixels);
    buffer->shape.width = width;
    buffer->shape.height = height;
    buffer->shape.bottomUp = bottomUp;
    *bits = buffer->shape.bits;
    return buffer;
}

void DestroySurfacePixelBuffer(SurfacePixelBuffer* buffer) {
    if (buffer) {
        DeleteObject(buffer->bitmap);
        delete buffer;
    }
}

SurfacePixelBuffer* SelectSurfacePixelBuffer(SurfaceHandle* surface, SurfacePixelBuffer* buffer) {
    if (!surface) {
        return nullptr;
    }
    SurfacePixelBuffer* previous = surface->selected;
    if (buffer) {
        HGDIOBJ old = SelectObject(surface->dc, buffer->bitmap);
        if (!surface->originalBitmap) {
            surface->originalBitmap = old;
        }
    } else if (surface->originalBitmap) {
        SelectObject(surface->dc, surface->originalBitmap);
        surface->originalBitmap = nullptr;
    }
    surface->selected = buffer;
    return previous;
}

SurfacePixels GetSurfacePixels(const SurfaceHandle* surface) {
    return PixelsOfShape(surface && surface->selected ? &surface->selected->shape : nullptr);
}

HDC SurfaceDeviceContext(const SurfaceHandle* surface) {
    return surface ? surface->dc : nullptr;
}
