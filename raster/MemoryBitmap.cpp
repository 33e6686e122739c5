#include "raster/MemoryBitmap.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Bytes for a width x height block; 0 when either side is not positive or the size does not
// fit a signed 32-bit count (such a bitmap cannot be allocated and stays empty).
int BlockBytes(int width, int height) {
    if (width <= 0 || height <= 0) {
        return 0;
    }
    const int64_t bytes = int64_t(width) * height * 4;
    return bytes > INT32_MAX ? 0 : int(bytes);
}

} // namespace

MemoryBitmap::MemoryBitmap(int width, int height)
    : width_(width), height_(height), capacity_(BlockBytes(width, height)) {
    if (capacity_ > 0) {
        bits_ = static_cast<RasterPixel*>(std::malloc(size_t(capacity_)));
    }
    if (!bits_) {
        width_ = 0;
        height_ = 0;
    }
}

MemoryBitmap::~MemoryBitmap() {
    std::free(bits_);
}

bool MemoryBitmap::Resize(int width, int height) {
    if (width == width_ && height == height_) {
        return false;
    }
    width_ = width;
    height_ = height;
    const int needed = BlockBytes(width, height);
    if (needed <= 0) {
        std::free(bits_);
        bits_ = nullptr;
        capacity_ = 0;
    } else if (!bits_) {
        capacity_ = needed;
        bits_ = static_cast<RasterPixel*>(std::malloc(size_t(needed)));
    } else if (capacity_ < needed) {
        const int64_t roomy = int64_t(needed) + needed / 4;
        capacity_ = roomy > INT32_MAX ? needed : int(roomy);
        void* grown = std::realloc(bits_, size_t(capacity_));
        if (grown) {
            bits_ = static_cast<RasterPixel*>(grown);
        } else {
            std::free(bits_);
            capacity_ = needed;
            bits_ = static_cast<RasterPixel*>(std::malloc(size_t(needed)));
        }
    }
    if (!bits_) {
        width_ = 0;
        height_ = 0;
    }
    return true;
}
