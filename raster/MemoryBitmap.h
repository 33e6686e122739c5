#pragma once

#include "raster/RasterBitmap.h"

// A bitmap in plain heap memory with rows packed. Its block grows by a quarter more than needed
// and never shrinks, so a scratch bitmap resized again and again soon stops reallocating.
class MemoryBitmap : public RasterBitmap {
public:
    MemoryBitmap() = default;
    MemoryBitmap(int width, int height);
    ~MemoryBitmap() override;
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;

    RasterPixel* GetBits() const override { return bits_; }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    int GetRowSpan() const override { return width_; }
    bool Resize(int width, int height) override;

    int GetCapacity() const { return capacity_; } // bytes in the block

private:
    RasterPixel* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int capacity_ = 0;
};
