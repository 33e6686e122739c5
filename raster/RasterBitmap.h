#pragma once

#include <cstdint>

// One pixel, 0xAARRGGBB with straight (not premultiplied) alpha: in memory blue, green, red,
// alpha.
using RasterPixel = uint32_t;

inline RasterPixel RasterMakePixel(int alpha, int red, int green, int blue) {
    return (uint32_t(alpha & 0xFF) << 24) | (uint32_t(red & 0xFF) << 16) |
           (uint32_t(green & 0xFF) << 8) | uint32_t(blue & 0xFF);
}

// A rectangle of pixels. Pixel (x, y) is element r * GetRowSpan() + x of GetBits(), with
// r = y, or GetHeight() - 1 - y when the rows are stored bottom-up (IsFlipped).
class RasterBitmap {
public:
    virtual ~RasterBitmap() = default;
    virtual RasterPixel* GetBits() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual int GetRowSpan() const = 0;
    virtual bool IsFlipped() const { return false; }
    // True when the logical size changed. The pixels are unspecified afterwards.
    virtual bool Resize(int width, int height) = 0;
    // The OS drawing handle over the pixels (Windows: the HDC), or null.
    virtual void* GetDeviceContext() const { return nullptr; }
    virtual void* GetExtraHandle() const { return nullptr; }
};

// The pixel at (x, y), or 0 outside the bitmap or when there is none.
RasterPixel RasterGetPixel(const RasterBitmap* bitmap, int x, int y);
