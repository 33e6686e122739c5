// Random parameters, rates, block sizes and signals through the processing callbacks: the
// output must always be finite.

#include "FuzzInput.h"
#include "effect/PlugExample.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
VstIntPtr SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    AEffect* effect = MakePlug(SilentHost)->Effect();
    const float rates[] = {8000.0f, 44100.0f, 48000.0f, 96000.0f, 384000.0f, 12345.678f};
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, rates[in.Take<std::uint8_t>() % 6]);
    const int maxBlock = 1 + in.Take<std::uint16_t>() % 1024;
    effect->dispatcher(effect, effSetBlockSize, 0, maxBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::vector<double> left(size_t(maxBlock) * 2), right(size_t(maxBlock) * 2);
    double* channels[2] = {left.data(), right.data()};
    while (in.Left() > 0) {
        const std::uint8_t action = in.Take<std::uint8_t>();
        if (action < 64) {
            effect->setParameter(effect, action % 7, float(in.Take<std::uint8_t>()) / 255.0f);
            continue;
        }
        const int frames = in.Take<std::uint16_t>() % (2 * maxBlock + 1);
        for (int i = 0; i < frames; ++i) {
            // Samples straight from the input: any bit pattern, NaN and infinity included.
            left[size_t(i)] = in.Take<double>();
            right[size_t(i)] = (action & 1) ? left[size_t(i)] : in.Take<float>();
        }
        effect->processDoubleReplacing(effect, channels, channels, frames);
        for (int i = 0; i < frames; ++i) {
            if (!std::isfinite(left[size_t(i)]) || !std::isfinite(right[size_t(i)])) {
                std::abort();
            }
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
