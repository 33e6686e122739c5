#include "raster/SystemBitmap.h"

#include "platform/Surface.h"

SystemBitmap::SystemBitmap(int width, int height)
    : SystemBitmap(CreateSurfaceHandle(), width, height) {}

SystemBitmap::SystemBitmap(SurfaceHandle* surface, int width, int height) : surface_(surface) {
    Resize(width, height);
}

SystemBitmap::~SystemBitmap() {
    ReleaseBuffer();
    DestroySurfaceHandle(surface_);
}

void SystemBitmap::ReleaseBuffer() {
    if (previousRecorded_ && surface_) {
        SelectSurfacePixelBuffer(surface_, previous_);
    }
    previous_ = nullptr;
    previousRecorded_ = false;
    DestroySurfacePixelBuffer(buffer_);
    buffer_ = nullptr;
    bits_ = nullptr;
}

bool SystemBitmap::Resize(int width, int height) {
    // A negative side cannot be shown; it is an empty side.
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
    if (!surface_) {
        width_ = 0;
        height_ = 0;
        bits_ = nullptr;
        return false;
    }
    if (width == width_ && height == height_) {
        return false;
    }
    width_ = width;
    height_ = height;
    if (width && height && width <= allocatedWidth_ && height <= allocatedHeight_ && bits_) {
        return true;
    }
    allocatedWidth_ = width;
    allocatedHeight_ = height;
    ReleaseBuffer();
    if (!width || !height) {
        return false;
    }
    uint32_t* bits = nullptr;
    buffer_ = CreateSurfacePixelBuffer(width, height, IsFlipped(), &bits);
    if (buffer_) {
        bits_ = bits;
        previous_ = SelectSurfacePixelBuffer(surface_, buffer_);
        previousRecorded_ = true;
    } else {
        width_ = 0;
        height_ = 0;
        allocatedWidth_ = 0;
        allocatedHeight_ = 0;
    }
    return true;
}
