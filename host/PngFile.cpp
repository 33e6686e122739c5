#include "host/PngFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool WritePng(const std::string& path, const std::uint32_t* top, std::ptrdiff_t rowStep, int width,
              int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(std::size_t(width) * 3);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* pixels = top + std::ptrdiff_t(y) * rowStep;
            for (int x = 0; x < width; ++x) {
                row[std::size_t(x) * 3] = png_byte(pixels[x] >> 16);
                row[std::size_t(x) * 3 + 1] = png_byte(pixels[x] >> 8);
                row[std::size_t(x) * 3 + 2] = png_byte(pixels[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}
