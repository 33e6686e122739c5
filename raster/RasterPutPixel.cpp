#include "raster/RasterPrimitives.h"

#include "raster/RasterPlot.h"

using namespace raster_plot;

void RasterPutPixel(RasterBitmap* bitmap, int x, int y, RasterPixel colour, float alpha,
                    RasterMode mode) {
    const RasterView view(bitmap);
    const int op = PrimitiveOperation(mode);
    const int w = raster_blend::WeightFromAlpha(alpha);
    if (!view.Valid() || !Inside(view, x, y) || op < 0 || w == 0) {
        return;
    }
    RasterPixel& d = view.Row(y)[x];
    if (op == 0 && w == 64) {
        d = Quarter(d, colour);
    } else if (op == 0 && w == 192) {
        d = ThreeQuarters(d, colour);
    } else {
        d = SolidPen{colour, op, w}.Apply(d);
    }
}
