#include "host/validate/AllocationCounter.h"
#include "host/validate/ClapRun.h"
#include "host/validate/Validation.h"

#include <atomic>
#include <cmath>

namespace {

std::atomic<long> gCountedAllocations{0};

void EndCounting() {
    allocation_counter::Stop();
    gCountedAllocations += allocation_counter::Allocations();
}

int InputLanes(ClapHostedPlugin& plugin) {
    return plugin.InputChannels() > 0 ? plugin.InputChannels() : 1;
}

} // namespace

void CheckClapAudio(Validation& v) {
    const TestSignal signals[] = {TestSignal::Noise, TestSignal::Silence, TestSignal::Square,
                                  TestSignal::Impulses};
    for (double rate : kCheckedRates) {
        const std::uint32_t seed = v.NextCaseSeed();
        std::mt19937 random(seed);
        bool healthy = true, untouched = true;
        double peak = 0.0;
        std::string problem;
        int runs = 0;
        for (int maxBlock : kCheckedMaxBlocks) {
            const std::vector<int> sizes = RandomCallSizes(maxBlock, random);
            for (bool useDouble : {false, true}) {
                auto plugin = v.NewClapPlugin("clap audio: instantiate");
                if (!plugin) {
                    return;
                }
                if (useDouble && !plugin->Supports64Bits()) {
                    continue;
                }
                if (!StartClap(*plugin, rate, maxBlock)) {
                    healthy = false;
                    problem = Figure("activate refused at block %d", maxBlock);
                    continue;
                }
                const int frames = int(rate * 0.02) + maxBlock;
                for (const auto& state : SwitchStates(*plugin)) {
                    for (const auto& [index, value] : state) {
                        plugin->SetParameter(index, value);
                    }
                    for (TestSignal signal : signals) {
                        const Planar input =
                            MakeSignal(signal, InputLanes(*plugin), frames, rate, seed);
                        const ClapRunResult run = RunClap(*plugin, input, sizes, useDouble);
                        ++runs;
                        peak = std::fmax(peak, Peak(run.output));
                        if ((!run.healthy || !run.inputsUntouched) && problem.empty()) {
                            problem = Figure("block %d, %s, %s: %s", maxBlock,
                                             useDouble ? "64-bit" : "32-bit", SignalName(signal),
                                             run.firstProblem.c_str());
                        }
                        healthy = healthy && run.healthy;
                        untouched = untouched && run.inputsUntouched;
                    }
                }
            }
        }
        const bool passed = healthy && untouched;
        v.Report(Figure("clap audio: %.3f Hz", rate), passed,
                 passed ? Figure("%d runs, peak %.3f", runs, peak)
                        : problem + Figure(" (seed %u)", unsigned(seed)));
    }
}

void CheckClapAutomation(Validation& v) {
    auto plugin = v.NewClapPlugin("clap automation: instantiate");
    if (!plugin || !StartClap(*plugin, 44100.0, 512)) {
        if (plugin) {
            v.Report("clap automation: activate", false, "refused 44.1 kHz, 512 frames");
        }
        return;
    }
    const std::uint32_t seed = v.NextCaseSeed();
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int numParams = plugin->NumParams();
    const int blocks = 2000 * v.Settings().repeat;
    const Planar input =
        MakeSignal(TestSignal::Noise, InputLanes(*plugin), 64 * blocks, 44100.0, seed);
    // Up to four changes a call at random frames, several for one parameter at times.
    const ClapRunResult run = RunClap(*plugin, input, {64}, false, [&](int, int frames) {
        std::vector<ClapHostEvent> events;
        for (int n = int(random() % 5); n > 0 && numParams > 0 && frames > 0; --n) {
            const int index = int(random() % unsigned(numParams));
            ClapHostEvent e;
            e.time = std::uint32_t(random() % unsigned(frames));
            e.paramId = plugin->ParamInfos()[size_t(index)].id;
            e.value = plugin->PlainOf(index, unit(random));
            events.push_back(e);
        }
        return events;
    });
    v.Report("clap automation: events at random frames", run.healthy,
             run.healthy ? Figure("%d calls of 64 frames, seed %u", blocks, unsigned(seed))
                         : run.firstProblem + Figure(" (seed %u)", unsigned(seed)));
}

void CheckClapAllocations(Validation& v) {
    if (!allocation_counter::Available()) {
        v.Skip("clap audio thread: no allocation", "a sanitizer owns the allocator");
        return;
    }
    auto plugin = v.NewClapPlugin("clap audio thread: instantiate");
    constexpr int kBlock = 512;
    if (!plugin || !StartClap(*plugin, 48000.0, kBlock)) {
        return;
    }
    for (const char* name : {"Effect", "Vortalizer"}) {
        const int index = FindParameter(*plugin, name);
        if (index >= 0) {
            plugin->SetParameter(index, 1.0f);
        }
    }
    const int lanes = std::max(plugin->InputChannels(), plugin->OutputChannels());
    std::vector<std::vector<float>> buffers(size_t(lanes), std::vector<float>(kBlock, 0.25f));
    std::vector<float*> channels;
    for (auto& b : buffers) {
        channels.push_back(b.data());
    }
    channels.push_back(nullptr);
    // Warm up first: a plug-in may allocate lazily on its first block, which hosts tolerate.
    plugin->Process(channels.data(), channels.data(), kBlock);

    // Only the plug-in's process calls are counted, on the audio thread.
    plugin->WatchProcessCalls(allocation_counter::Start, EndCounting);
    gCountedAllocations = 0;
    const int calls = 200;
    std::mt19937 random(v.NextCaseSeed());
    for (int call = 0; call < calls; ++call) {
        const int frames = call % 7 == 3 ? 0 : (call * 37) % kBlock + 1;
        std::vector<ClapHostEvent> events;
        for (int i = 0; i < plugin->NumParams() && frames > 0; i += 2) {
            events.push_back(ClapHostEvent{std::uint32_t(random() % unsigned(frames)),
                                           plugin->ParamInfos()[size_t(i)].id,
                                           plugin->PlainOf(i, (random() % 1001) / 1000.0)});
        }
        plugin->Process(channels.data(), channels.data(), std::uint32_t(frames), events);
    }
    plugin->WatchProcessCalls(nullptr, nullptr);
    const long allocations = gCountedAllocations;
    v.Report("clap audio thread: no allocation", allocations == 0,
             Figure("%ld heap calls in %d process calls with events", allocations, calls));
}
