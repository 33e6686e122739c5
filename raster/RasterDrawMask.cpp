#include "raster/RasterPrimitives.h"

#include "raster/RasterPlot.h"

#include <cstdint>

using namespace raster_plot;

void RasterDrawMask(RasterBitmap* bitmap, int x, int y, RasterPixel colour,
                    const unsigned char* mask, int maskWidth, int maskHeight, float alpha,
                    RasterMode mode) {
    const RasterView view(bitmap);
    const int op = PrimitiveOperation(mode);
    const int w = raster_blend::WeightFromAlpha(alpha);
    if (!view.Valid() || !mask || maskWidth <= 0 || maskHeight <= 0 || op < 0 || w == 0) {
        return;
    }
    const int64_t left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
    const int64_t right = int64_t(x) + maskWidth < view.width ? int64_t(x) + maskWidth : view.width;
    const int64_t bottom =
        int64_t(y) + maskHeight < view.height ? int64_t(y) + maskHeight : view.height;
    for (int64_t py = top; py < bottom; ++py) {
        RasterPixel* row = view.Row(int(py));
        const unsigned char* coverage = mask + (py - y) * maskWidth;
        for (int64_t px = left; px < right; ++px) {
            const int c = coverage[px - x];
            if (c != 0) {
                row[px] = Blend(row[px], colour, op, w * c / 256);
            }
        }
    }
}
