#include "Lv2Fixture.h"

#include <cmath>
#include <cstdint>

Lv2Fixture::Stereo Lv2Fixture::Signal(std::size_t frames) {
    Stereo s{std::vector<float>(frames), std::vector<float>(frames)};
    std::uint32_t seed = 12345;
    const double pi = 3.14159265358979323846;
    for (std::size_t i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = (double(seed >> 8) / double(1u << 24) - 0.5) * 0.01;
        // It starts with silence, where only the effect's own tiny noise reaches the output, and
        // that noise depends on where each sample falls in its block.
        if (i < 2000) {
            continue;
        }
        const double t = double(i % 2400) / 48000.0;
        const double decay = std::exp(-t * 20.0);
        s.left[i] = float(0.4 * decay * std::sin(2 * pi * 110.0 * t) + noise);
        s.right[i] = float(0.3 * decay * std::sin(2 * pi * 164.8 * t) - noise);
    }
    return s;
}

std::vector<int> Runs(std::size_t frames, const std::vector<int>& pattern) {
    std::vector<int> runs;
    std::size_t done = 0;
    for (std::size_t i = 0; done < frames; ++i) {
        const int n =
            int(std::min<std::size_t>(std::size_t(pattern[i % pattern.size()]), frames - done));
        runs.push_back(n);
        done += std::size_t(n);
    }
    return runs;
}

void Lv2Fixture::SetUp() {
    binary = std::make_unique<Lv2Binary>(KVX_LV2_BINARY);
    std::string error;
    vst = PluginModule::Load(DefaultModulePath(), &error);
    ASSERT_TRUE(vst) << error;
}

std::unique_ptr<Lv2Instance> Lv2Fixture::NewLv2(const char* uri, const HostOffer& offer,
                                                double rate) {
    return std::make_unique<Lv2Instance>(*binary, uri, rate, offer);
}

std::unique_ptr<HostedPlugin> Lv2Fixture::NewVst(int blockSize, const Controls& controls,
                                                 double rate) {
    std::string error;
    auto plugin = HostedPlugin::Create(*vst, &error);
    EXPECT_TRUE(plugin) << error;
    if (plugin) {
        plugin->Setup(rate, blockSize);
        for (int i = 0; i < kControlPorts; ++i) {
            plugin->SetParameter(i, controls[std::size_t(i)]);
        }
    }
    return plugin;
}

Lv2Fixture::Stereo Lv2Fixture::RenderLv2(Lv2Instance& plugin, bool mono, const Controls& controls,
                                         const Stereo& in, const std::vector<int>& runs,
                                         bool inPlace) {
    Stereo io = in;
    Stereo out{std::vector<float>(in.left.size()), std::vector<float>(in.left.size())};
    std::vector<float> spareRight(in.left.size());
    for (int i = 0; i < kControlPorts; ++i) {
        plugin.SetControl(i, controls[std::size_t(i)]);
    }
    plugin.Activate();
    const std::uint32_t firstAudio = kControlPorts;
    const std::uint32_t firstOutput = firstAudio + (mono ? 1 : 2);
    std::size_t at = 0;
    for (int n : runs) {
        plugin.Connect(firstAudio, io.left.data() + at);
        if (!mono) {
            plugin.Connect(firstAudio + 1, io.right.data() + at);
        }
        float* left = inPlace ? io.left.data() : out.left.data();
        float* right = inPlace ? (mono ? spareRight.data() : io.right.data()) : out.right.data();
        plugin.Connect(firstOutput, left + at);
        plugin.Connect(firstOutput + 1, right + at);
        plugin.Run(std::uint32_t(n));
        at += std::size_t(n);
    }
    plugin.Deactivate();
    if (inPlace) {
        return {io.left, mono ? spareRight : io.right};
    }
    return out;
}

Lv2Fixture::Stereo Lv2Fixture::RenderVst(HostedPlugin& plugin, bool mono, const Stereo& in,
                                         const std::vector<int>& runs) {
    Stereo source = in;
    if (mono) {
        source.right.assign(in.left.size(), 0.0f);
    }
    Stereo out{std::vector<float>(in.left.size()), std::vector<float>(in.left.size())};
    plugin.Resume();
    std::size_t at = 0;
    for (int n : runs) {
        float* inputs[] = {source.left.data() + at, source.right.data() + at};
        float* outputs[] = {out.left.data() + at, out.right.data() + at};
        plugin.ProcessFloat(inputs, outputs, n);
        at += std::size_t(n);
    }
    plugin.Suspend();
    return out;
}
