#include "editor/ImageCache.h"

#include "raster/RasterBitmap.h"

ImageCache::Entry::~Entry() {
    delete bitmap;
}

ImageCache& ImageCache::Instance() {
    static ImageCache cache;
    return cache;
}

RasterBitmap* ImageCache::Find(int id) {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < entries_.Count(); ++i) {
        if (entries_.Get(i)->id == id) {
            return entries_.Get(i)->bitmap;
        }
    }
    return nullptr;
}

void ImageCache::Add(int id, RasterBitmap* bitmap) {
    std::lock_guard<std::mutex> hold(lock_);
    entries_.Append(new Entry(id, bitmap));
}

bool ImageCache::Drop(const RasterBitmap* bitmap) {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < entries_.Count(); ++i) {
        if (entries_.Get(i)->bitmap == bitmap) {
            entries_.Remove(i);
            return true;
        }
    }
    return false;
}

int ImageCache::Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return entries_.Count();
}
