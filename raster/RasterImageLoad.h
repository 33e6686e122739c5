#pragma once

#include "raster/RasterBitmap.h"

#include <cstddef>

// Decoders for PNG and JPEG data. Each returns the bitmap holding the image: the caller's target
// (resized to the image) when one is given, otherwise a new MemoryBitmap the caller owns; null on
// any failure. Resources are found by integer id in the module (types "PNG" and "JPG"); paths are
// UTF-8.
RasterBitmap* RasterLoadPngResource(void* module, int id, RasterBitmap* target);
RasterBitmap* RasterLoadJpegResource(void* module, int id, RasterBitmap* target);
RasterBitmap* RasterLoadPngFile(const char* path, RasterBitmap* target);
RasterBitmap* RasterLoadJpegFile(const char* path, RasterBitmap* target);

// The same from data in memory.
RasterBitmap* RasterLoadPngMemory(const unsigned char* data, size_t size, RasterBitmap* target);
RasterBitmap* RasterLoadJpegMemory(const unsigned char* data, size_t size, RasterBitmap* target);

// File loaders for the loader registry: with checkExtension set, a path without a matching
// extension (".png"; ".jpg", ".jpeg" or ".jfif"; any case) gives null without opening anything.
RasterBitmap* RasterOpenPngImage(const char* path, bool checkExtension, RasterBitmap* target);
RasterBitmap* RasterOpenJpegImage(const char* path, bool checkExtension, RasterBitmap* target);

// File-dialog filters: pairs of NUL-terminated texts closed by an empty one.
const char* RasterPngFilter();
const char* RasterJpegFilter();

// Whether the path's extension (the text from its last dot, slash or backslash on) is one of the
// count given extensions (".png" and the like), compared without regard to case.
bool RasterPathHasExtension(const char* path, const char* const* extensions, int count);
