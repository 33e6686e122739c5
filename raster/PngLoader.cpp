#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"
#include "raster/RasterView.h"

#include "platform/FileOpen.h"
#include "platform/Resources.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct MemorySource {
    const unsigned char* next;
    int32_t remaining;
};

// Running out of data is an error at once, as it is for files: handing out zeros instead would
// let a chunk that claims gigabytes be read (and its checksum computed) to the end.
void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (source->remaining < 0 || count > size_t(source->remaining)) {
        png_error(png, "read past the end of the data");
    }
    std::memcpy(out, source->next, count);
    source->next += count;
    source->remaining -= int32_t(count);
}

// Errors go back to the loader through the jump buffer without a word on standard error.
[[noreturn]] void FailQuietly(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Decodes whatever input the read structure was given. Every colour type and bit depth comes out
// as 8-bit blue, green, red, alpha (RasterPixel order): palettes and low-depth greys are
// expanded, tRNS becomes alpha, 16-bit keeps the high byte, grey is spread over the three colours
// and images without alpha get 255.
RasterBitmap* Decode(png_structp png, png_infop info, RasterBitmap* target) {
    RasterBitmap* volatile created = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(rows);
        delete created;
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    if (width == 0 || height == 0 || uint64_t(width) * height * 4 > INT32_MAX ||
        png_get_rowbytes(png, info) != size_t(width) * 4) {
        png_error(png, "unsupported size");
    }
    RasterBitmap* bitmap = target;
    if (bitmap) {
        bitmap->Resize(int(width), int(height));
    } else {
        bitmap = created = new (std::nothrow) MemoryBitmap(int(width), int(height));
    }
    const RasterView view(bitmap);
    if (!view.Valid() || view.width != int(width) || view.height != int(height)) {
        png_error(png, "target size");
    }
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows) {
        png_error(png, "out of memory");
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = reinterpret_cast<png_bytep>(view.Row(int(y)));
    }
    png_read_image(png, rows);
    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return bitmap;
}

bool CreateReader(png_structp* png, png_infop* info) {
    *png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailQuietly, IgnoreWarning);
    if (!*png) {
        return false;
    }
    *info = png_create_info_struct(*png);
    if (!*info) {
        png_destroy_read_struct(png, nullptr, nullptr);
        return false;
    }
    return true;
}

} // namespace

namespace {

// Data built into the module needs no checksums checked: the decoder stays safe on damaged data
// either way, and skipping them makes the editor's first opening faster.
enum class Checksums { kVerify, kSkip };

RasterBitmap* DecodeMemory(const unsigned char* data, size_t size, RasterBitmap* target,
                           Checksums checksums) {
    if (!data || size < 8 || size > INT32_MAX || png_sig_cmp(data, 0, 8) != 0) {
        return nullptr;
    }
    png_structp png;
    png_infop info;
    if (!CreateReader(&png, &info)) {
        return nullptr;
    }
    if (checksums == Checksums::kSkip) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    }
    MemorySource source{data, int32_t(size)};
    png_set_read_fn(png, &source, ReadFromMemory);
    return Decode(png, info, target);
}

} // namespace

RasterBitmap* RasterLoadPngMemory(const unsigned char* data, size_t size, RasterBitmap* target) {
    return DecodeMemory(data, size, target, Checksums::kVerify);
}

RasterBitmap* RasterLoadPngResource(void* module, int id, RasterBitmap* target) {
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindModuleResource(module, "PNG", id, &data, &size)) {
        return nullptr;
    }
    return DecodeMemory(data, size, target, Checksums::kSkip);
}

RasterBitmap* RasterLoadPngFile(const char* path, RasterBitmap* target) {
    if (!path) {
        return nullptr;
    }
    std::FILE* file = OpenFileForReading(path);
    if (!file) {
        return nullptr;
    }
    png_structp png;
    png_infop info;
    RasterBitmap* result = nullptr;
    if (CreateReader(&png, &info)) {
        png_init_io(png, file);
        result = Decode(png, info, target);
    }
    std::fclose(file);
    return result;
}
