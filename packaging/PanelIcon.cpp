// kvx-panel-icon PANEL.png SIZE OUT.png: the desktop icon, drawn from the panel artwork. The
// square at the right of the panel (the Mid, High and Drive knobs over the Effect footswitch and
// its LED) scaled to SIZE pixels, each icon pixel the mean of the panel pixels it covers.

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const int size = argc == 4 ? std::atoi(argv[2]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: kvx-panel-icon PANEL.png SIZE OUT.png (SIZE 16 to 1024)\n");
        return 2;
    }
    png_image panel{};
    panel.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&panel, argv[1])) {
        std::fprintf(stderr, "kvx-panel-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    panel.format = PNG_FORMAT_RGB;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(panel));
    if (!png_image_finish_read(&panel, nullptr, pixels.data(), 0, nullptr)) {
        std::fprintf(stderr, "kvx-panel-icon: cannot decode %s\n", argv[1]);
        return 1;
    }
    const int width = int(panel.width);
    const int side = int(panel.height) < width ? int(panel.height) : width;
    const int left = width - side;

    std::vector<png_byte> icon(std::size_t(size) * std::size_t(size) * 3);
    for (int y = 0; y < size; ++y) {
        const int top = y * side / size, bottom = (y + 1) * side / size;
        for (int x = 0; x < size; ++x) {
            const int from = left + x * side / size, to = left + (x + 1) * side / size;
            for (int c = 0; c < 3; ++c) {
                long sum = 0;
                for (int py = top; py < bottom; ++py) {
                    for (int px = from; px < to; ++px) {
                        sum += pixels[(std::size_t(py) * std::size_t(width) + std::size_t(px)) * 3 +
                                      std::size_t(c)];
                    }
                }
                const long count = long(bottom - top) * long(to - from);
                icon[(std::size_t(y) * std::size_t(size) + std::size_t(x)) * 3 + std::size_t(c)] =
                    png_byte((sum + count / 2) / count);
            }
        }
    }
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = png_uint_32(size);
    out.height = png_uint_32(size);
    out.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&out, argv[3], 0, icon.data(), 0, nullptr)) {
        std::fprintf(stderr, "kvx-panel-icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
