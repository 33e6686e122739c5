#pragma once

#include "raster/MemoryBitmap.h"

// A target bitmap that refuses sizes above 512 x 512 pixels, so the loader gives up before
// decoding.
class CappedBitmap : public MemoryBitmap {
public:
    bool Resize(int width, int height) override {
        if (width > 0 && height > 0 && int64_t(width) * height > 262144) {
            return false;
        }
        return MemoryBitmap::Resize(width, height);
    }
};
