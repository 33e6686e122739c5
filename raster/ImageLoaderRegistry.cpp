#include "raster/ImageLoaderRegistry.h"

#include "raster/RasterImageLoad.h"

ImageLoaderRecord* ImageLoaderList = nullptr;

namespace {

struct LoaderRegistration {
    ImageLoaderRecord record;
    LoaderRegistration(RasterBitmap* (*load)(const char*, bool, RasterBitmap*),
                       const char* (*filter)())
        : record{load, filter, ImageLoaderList} {
        ImageLoaderList = &record;
    }
};

// Pushed on the front in this order, so the list reads PNG, JPEG.
LoaderRegistration gJpeg(RasterOpenJpegImage, RasterJpegFilter);
LoaderRegistration gPng(RasterOpenPngImage, RasterPngFilter);

} // namespace

const char* RasterPngFilter() {
    return "PNG files (*.PNG)\0*.PNG\0";
}

const char* RasterJpegFilter() {
    return "JPEG files (*.JPG;*.JPEG;*.JFIF)\0*.JPG;*.JPEG;*.JFIF\0";
}

bool RasterPathHasExtension(const char* path, const char* const* extensions, int count) {
    if (!path) {
        return false;
    }
    const char* end = path;
    while (*end) {
        ++end;
    }
    const char* p = end;
    while (p > path && p[-1] != '.' && p[-1] != '/' && p[-1] != '\\') {
        --p;
    }
    if (p == path) {
        return false;
    }
    const char* ext = p - 1;
    for (int i = 0; i < count; ++i) {
        const char* a = ext;
        const char* b = extensions[i];
        while (*a && *b) {
            const char ca = (*a >= 'A' && *a <= 'Z') ? char(*a + 32) : *a;
            const char cb = (*b >= 'A' && *b <= 'Z') ? char(*b + 32) : *b;
            if (ca != cb) {
                break;
            }
            ++a;
            ++b;
        }
        if (!*a && !*b) {
            return true;
        }
    }
    return false;
}

RasterBitmap* RasterOpenPngImage(const char* path, bool checkExtension, RasterBitmap* target) {
    static const char* const kExtensions[] = {".png"};
    if (checkExtension && !RasterPathHasExtension(path, kExtensions, 1)) {
        return nullptr;
    }
    return RasterLoadPngFile(path, target);
}

RasterBitmap* RasterOpenJpegImage(const char* path, bool checkExtension, RasterBitmap* target) {
    static const char* const kExtensions[] = {".jpg", ".jpeg", ".jfif"};
    if (checkExtension && !RasterPathHasExtension(path, kExtensions, 3)) {
        return nullptr;
    }
    return RasterLoadJpegFile(path, target);
}
