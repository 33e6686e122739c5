#pragma once

#include <vector>

class EmbeddedPlugin;

// One period of audio through the plug-in, as the JACK callback hands it over: two inputs, or
// one whose partner is silence (the plug-in's second input, as in a mono insert), and two
// outputs. Allocates nothing and waits for nothing.
class PeriodProcessor {
public:
    // Periods up to this long go to the plug-in whole; JACK's own limit is 8192 frames.
    static constexpr int kLongestWhole = 8192;

    PeriodProcessor(EmbeddedPlugin& plugin, bool stereo);

    // inputs holds one buffer, or two in stereo; outputs holds two.
    void Run(float* const* inputs, float* const* outputs, int frames);

private:
    EmbeddedPlugin& plugin_;
    const bool stereo_;
    std::vector<float> silence_;
};
