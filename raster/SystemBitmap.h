#pragma once

#include "raster/RasterBitmap.h"

struct SurfaceHandle;
struct SurfacePixelBuffer;

// The editor's drawing surface: pixels the editor window shows without conversion, reached
// through an OS surface handle (the device context) that exists for the bitmap's whole life.
// It keeps the largest pixel buffer it has had until one side must grow, so that shrinking and
// re-growing the editor does not recreate it; the row span is then the allocated width.
class SystemBitmap : public RasterBitmap {
public:
    SystemBitmap(int width, int height);
    ~SystemBitmap() override;
    SystemBitmap(const SystemBitmap&) = delete;
    SystemBitmap& operator=(const SystemBitmap&) = delete;

    RasterPixel* GetBits() const override { return bits_; }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    int GetRowSpan() const override { return allocatedWidth_; }
    bool Resize(int width, int height) override;
    void* GetDeviceContext() const override { return surface_; }

protected:
    // For surfaces whose handle could not be created (and for tests of that case).
    SystemBitmap(SurfaceHandle* surface, int width, int height);

private:
    void ReleaseBuffer();

    int width_ = 0;
    int height_ = 0;
    SurfaceHandle* surface_ = nullptr;
    RasterPixel* bits_ = nullptr;
    int allocatedWidth_ = 0;
    int allocatedHeight_ = 0;
    SurfacePixelBuffer* buffer_ = nullptr;
    SurfacePixelBuffer* previous_ = nullptr;
    bool previousRecorded_ = false;
};
