#pragma once

#include "Lv2Host.h"
#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

// The bundle's plug-in binary and the VST module side by side in one process, each with its own
// module-wide noise sequence: instances made and reset in the same order in both hear the same
// noise, so their audio can be compared sample for sample.
class Lv2Fixture : public ::testing::Test {
public:
    using Controls = std::array<float, kControlPorts>;
    struct Stereo {
        std::vector<float> left;
        std::vector<float> right;
    };

protected:
    static Controls Defaults() { return {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f}; }
    // A guitar-like test signal after a silence: decaying plucked tones with a little noise,
    // different per side.
    static Stereo Signal(std::size_t frames);

    void SetUp() override;

    std::unique_ptr<Lv2Instance> NewLv2(const char* uri, const HostOffer& offer = {},
                                        double rate = 48000.0);
    // The VST module opened at rate and block size, with every parameter set to controls.
    std::unique_ptr<HostedPlugin> NewVst(int blockSize, const Controls& controls,
                                         double rate = 48000.0);

    // Plays in through the LV2 instance in runs of the given lengths, with its control ports at
    // controls. In place: the outputs are the input buffers (for the mono plug-in, the left).
    Stereo RenderLv2(Lv2Instance& plugin, bool mono, const Controls& controls, const Stereo& in,
                     const std::vector<int>& runs, bool inPlace);
    // The same through the VST module's processReplacing, in calls of the same lengths; a mono
    // source plays on its left input, the right one silent.
    Stereo RenderVst(HostedPlugin& plugin, bool mono, const Stereo& in,
                     const std::vector<int>& runs);

    std::unique_ptr<Lv2Binary> binary;
    std::unique_ptr<PluginModule> vst;
};

// Call lengths that cover the signal: each of pattern in turn.
std::vector<int> Runs(std::size_t frames, const std::vector<int>& pattern);
