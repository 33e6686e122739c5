#include "standalone/PeriodProcessor.h"

#include "standalone/EmbeddedPlugin.h"

PeriodProcessor::PeriodProcessor(EmbeddedPlugin& plugin, bool stereo)
    : plugin_(plugin), stereo_(stereo), silence_(stereo ? 0 : kLongestWhole, 0.0f) {}

void PeriodProcessor::Run(float* const* inputs, float* const* outputs, int frames) {
    // Periods longer than the silence in mono go in slices.
    const int slice = stereo_ ? frames : kLongestWhole;
    for (int done = 0; done < frames; done += slice) {
        const int n = frames - done < slice ? frames - done : slice;
        float* in[2] = {inputs[0] + done, stereo_ ? inputs[1] + done : silence_.data()};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        plugin_.Process(in, out, n);
    }
}
