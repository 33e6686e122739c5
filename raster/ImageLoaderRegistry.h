#pragma once

#include "raster/RasterBitmap.h"

// A file loader offered to open dialogs: its load function and its file-dialog filter.
struct ImageLoaderRecord {
    RasterBitmap* (*load)(const char* path, bool checkExtension, RasterBitmap* target);
    const char* (*filter)();
    ImageLoaderRecord* next;
};

// Built at module load: the PNG loader, then the JPEG loader.
extern ImageLoaderRecord* ImageLoaderList;
