#include "raster/RasterBitmap.h"
#include "raster/RasterView.h"

RasterPixel RasterGetPixel(const RasterBitmap* bitmap, int x, int y) {
    const RasterView view(bitmap);
    if (!view.Valid() || x < 0 || y < 0 || x >= view.width || y >= view.height) {
        return 0;
    }
    return view.Row(y)[x];
}
