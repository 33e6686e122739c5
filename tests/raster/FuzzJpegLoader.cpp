// libFuzzer target: any bytes given to the JPEG loader give a bitmap or null, never a crash, a
// hang, a leak or a read outside the data.

#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"

#include <cstddef>
#include <cstdint>

#include "CappedBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A few bytes can declare an image of hundreds of megapixels, which decodes correctly but
    // slowly; the capped target turns those away after the header and keeps the run fast.
    CappedBitmap capped;
    if (RasterLoadJpegMemory(data, size, &capped)) {
        delete RasterLoadJpegMemory(data, size, nullptr);
    }
    return 0;
}
