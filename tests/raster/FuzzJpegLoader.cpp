// libFuzzer target: any bytes given to the JPEG loader give a bitmap or null, never a crash, a
// hang, a leak or a read outside the data.

#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    delete RasterLoadJpegMemory(data, size, nullptr);
    MemoryBitmap target(3, 3);
    RasterLoadJpegMemory(data, size, &target);
    return 0;
}
