#pragma once

#include "common/PointerList.h"

#include <mutex>

class RasterBitmap;

// Decoded images shared by every editor of the module, kept until the module unloads. Resource
// images are keyed by their id; bitmaps derived at run time are kept with id -1.
class ImageCache {
public:
    static constexpr int kDerived = -1;

    static ImageCache& Instance();

    ImageCache() = default;
    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    // The first bitmap stored under id, or null.
    RasterBitmap* Find(int id);
    // Takes ownership.
    void Add(int id, RasterBitmap* bitmap);
    // Deletes the first entry holding bitmap, and the bitmap; false when it is not held.
    bool Drop(const RasterBitmap* bitmap);
    int Count();

private:
    struct Entry {
        Entry(int i, RasterBitmap* b) : id(i), bitmap(b) {}
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
        int id;
        RasterBitmap* bitmap;
    };

    std::mutex lock_;
    PointerList<Entry> entries_{true, 4096};
};
