#include "effect/NoiseTable.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<std::uint32_t> noiseSeed{1};

} // namespace

std::uint32_t FillNoiseTable(double* table, std::uint32_t seed) {
    float r = 0.0f;
    for (int i = 0; i < kNoiseTableLength; ++i) {
        seed = seed * 1234567u + 890123u;
        const std::uint32_t pattern = (seed & 0x9E7F0000u) | 0x1E000000u;
        float n;
        std::memcpy(&n, &pattern, sizeof n);
        r = r + n;
        table[i] = r;
    }
    return seed;
}

void RefillNoiseTable(double* table) {
    std::uint32_t seed = noiseSeed.load();
    std::uint32_t next;
    do {
        next = FillNoiseTable(table, seed);
    } while (!noiseSeed.compare_exchange_weak(seed, next));
}

std::uint32_t NoiseSeed() {
    return noiseSeed.load();
}
