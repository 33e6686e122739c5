#include "host/validate/AudioRun.h"
#include "host/validate/Validation.h"

#include <chrono>
#include <cmath>

void CheckAutomation(Validation& v) {
    auto plugin = v.NewPlugin("automation: instantiate");
    if (!plugin) {
        return;
    }
    StartPlugin(*plugin, 44100.0, 512);
    const std::uint32_t seed = v.NextCaseSeed();
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int numParams = plugin->Effect()->numParams;
    const int channels = plugin->Effect()->numInputs > 0 ? plugin->Effect()->numInputs : 1;
    const Planar input = MakeSignal(TestSignal::Noise, channels, 32, 44100.0, seed);
    bool healthy = true;
    std::string problem;
    const int blocks = 2000 * v.Settings().repeat;
    for (int block = 0; block < blocks && healthy; ++block) {
        for (int changes = int(random() % 3); changes >= 0 && numParams > 0; --changes) {
            plugin->SetParameter(int(random() % unsigned(numParams)), unit(random));
        }
        AudioRun run(*plugin, block % 2 == 1, false);
        const AudioRun::Result result = run.Process(input, {32});
        healthy = result.outputsHealthy;
        problem = result.firstProblem;
    }
    v.Report("automation: changes every 32 frames", healthy,
             healthy ? Figure("%d blocks, seed %u", blocks, unsigned(seed))
                     : problem + Figure(" (seed %u)", unsigned(seed)));
}

void CheckDenormals(Validation& v) {
    auto plugin = v.NewPlugin("denormals: instantiate");
    if (!plugin) {
        return;
    }
    constexpr int kBlock = 512;
    StartPlugin(*plugin, 48000.0, kBlock);
    for (const char* name : {"Effect", "Vortalizer"}) {
        const int index = FindParameter(*plugin, name);
        if (index >= 0) {
            plugin->SetParameter(index, 1.0f);
        }
    }
    const int channels = plugin->Effect()->numInputs > 0 ? plugin->Effect()->numInputs : 1;
    const int frames = 48000;
    const Planar ordinary = MakeSignal(TestSignal::Noise, channels, frames, 48000.0, 3);
    const Planar tiny = MakeSignal(TestSignal::Tiny, channels, frames, 48000.0, 3);
    // The fastest of many runs of each, taken in turns so that other work on the machine falls
    // on both alike. A shared machine can stay busy for half a second, so the turns span about
    // a second on a fast one.
    auto timeOf = [&](const Planar& input) {
        AudioRun run(*plugin, false, false);
        const auto start = std::chrono::steady_clock::now();
        run.Process(input, {kBlock});
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    timeOf(ordinary);
    double ordinaryTime = 1e30, tinyTime = 1e30;
    for (int round = 0; round < 100; ++round) {
        ordinaryTime = std::fmin(ordinaryTime, timeOf(ordinary));
        tinyTime = std::fmin(tinyTime, timeOf(tiny));
    }
    const double ratio = tinyTime / ordinaryTime;
    v.Report("denormals: tiny input costs at most 1.2x", ratio <= 1.2,
             Figure("%.2fx (%.2f ms vs %.2f ms per second of audio)", ratio, tinyTime * 1e3,
                    ordinaryTime * 1e3));
}
