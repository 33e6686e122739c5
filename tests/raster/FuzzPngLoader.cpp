// libFuzzer target: any bytes given to the PNG loader give a bitmap or null, never a crash, a
// leak or a read outside the data.

#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"

#include <cstddef>
#include <cstdint>

#include "CappedBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A few bytes can declare an image of hundreds of megapixels, which decodes correctly but
    // slowly; the capped target turns those away after the header and keeps the run fast.
    CappedBitmap capped;
    if (RasterLoadPngMemory(data, size, &capped)) {
        delete RasterLoadPngMemory(data, size, nullptr);
    }
    return 0;
}
