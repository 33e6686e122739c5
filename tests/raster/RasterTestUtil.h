#pragma once

#include "raster/MemoryBitmap.h"
#include "raster/RasterBitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace raster_test {

// Deterministic pixels for the fast-path comparisons.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
    uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Alpha biased towards 0 and 255, the values with their own code paths.
    RasterPixel Pixel() {
        const uint32_t p = Next();
        switch (Next() % 4) {
        case 0:
            return p & 0x00FFFFFF;
        case 1:
            return p | 0xFF000000;
        default:
            return p;
        }
    }

private:
    uint32_t state_;
};

// Rows stored bottom-up with a gap after each row; the gap is filled with a marker so that
// tests can see that no routine writes outside the logical pixels.
class FlippedBitmap : public RasterBitmap {
public:
    static constexpr RasterPixel kGap = 0xDEADBEEF;
    FlippedBitmap(int width, int height)
        : width_(width), height_(height), span_(width + 3),
          pixels_(size_t(span_) * size_t(height), kGap) {}
    RasterPixel* GetBits() const override { return const_cast<RasterPixel*>(pixels_.data()); }
    int GetWidth() const override { return width_; }
    int GetHeight() const override { return height_; }
    int GetRowSpan() const override { return span_; }
    bool IsFlipped() const override { return true; }
    bool Resize(int, int) override { return false; }
    RasterPixel& At(int x, int y) { return pixels_[size_t(height_ - 1 - y) * span_ + x]; }
    bool GapIntact() const {
        for (int r = 0; r < height_; ++r) {
            for (int x = width_; x < span_; ++x) {
                if (pixels_[size_t(r) * span_ + x] != kGap) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    int width_, height_, span_;
    std::vector<RasterPixel> pixels_;
};

inline void Fill(RasterBitmap& b, Random& rng) {
    for (int y = 0; y < b.GetHeight(); ++y) {
        RasterPixel* row =
            b.GetBits() + size_t(b.IsFlipped() ? b.GetHeight() - 1 - y : y) * b.GetRowSpan();
        for (int x = 0; x < b.GetWidth(); ++x) {
            row[x] = rng.Pixel();
        }
    }
}

inline void Fill(RasterBitmap& b, RasterPixel value) {
    for (int y = 0; y < b.GetHeight(); ++y) {
        for (int x = 0; x < b.GetWidth(); ++x) {
            b.GetBits()[size_t(y) * b.GetRowSpan() + x] = value;
        }
    }
}

inline std::vector<RasterPixel> Pixels(const RasterBitmap& b) {
    std::vector<RasterPixel> out;
    for (int y = 0; y < b.GetHeight(); ++y) {
        for (int x = 0; x < b.GetWidth(); ++x) {
            out.push_back(RasterGetPixel(&b, x, y));
        }
    }
    return out;
}

inline void Set(RasterBitmap& b, int x, int y, RasterPixel p) {
    const int r = b.IsFlipped() ? b.GetHeight() - 1 - y : y;
    b.GetBits()[size_t(r) * b.GetRowSpan() + x] = p;
}

} // namespace raster_test
