/* Rewrites a PNG with no row filters at the highest compression. The panel artwork is mostly
 * flat colour and transparency, which compresses smaller that way, and the editor decodes it
 * faster without the Paeth unfiltering Cairo's adaptive filters call for. The pixels stay the
 * same. Usage: png-unfiltered FILE... (each file is rewritten in place). */
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Rewrite(const char* path) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        fprintf(stderr, "%s: %s\n", path, image.message);
        return 1;
    }
    const int channels = PNG_IMAGE_PIXEL_CHANNELS(image.format);
    png_bytep pixels = malloc(PNG_IMAGE_SIZE(image));
    if (!pixels || !png_image_finish_read(&image, NULL, pixels, 0, NULL)) {
        fprintf(stderr, "%s: %s\n", path, image.message);
        free(pixels);
        return 1;
    }
    FILE* file = fopen(path, "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png ? png_create_info_struct(png) : NULL;
    if (!file || !info || setjmp(png_jmpbuf(png))) {
        fprintf(stderr, "%s: cannot write\n", path);
        return 1;
    }
    const int type = channels == 4   ? PNG_COLOR_TYPE_RGBA
                     : channels == 3 ? PNG_COLOR_TYPE_RGB
                     : channels == 2 ? PNG_COLOR_TYPE_GRAY_ALPHA
                                     : PNG_COLOR_TYPE_GRAY;
    png_init_io(png, file);
    png_set_IHDR(png, info, image.width, image.height, 8, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (png_uint_32 y = 0; y < image.height; ++y) {
        png_write_row(png, pixels + (size_t)y * image.width * channels);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    fclose(file);
    free(pixels);
    return 0;
}

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        status |= Rewrite(argv[i]);
    }
    return status;
}
