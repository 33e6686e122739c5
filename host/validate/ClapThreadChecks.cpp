#include "host/validate/ClapRun.h"
#include "host/validate/Validation.h"

#include <atomic>
#include <thread>

void CheckClapThreads(Validation& v) {
    auto plugin = v.NewClapPlugin("clap threads: instantiate");
    if (!plugin || !StartClap(*plugin, 44100.0, 256)) {
        return;
    }
    std::vector<std::uint8_t> state;
    const bool hasState = plugin->State() && plugin->SaveState(&state);
    std::atomic<bool> stop{false};
    std::atomic<bool> healthy{true};
    std::atomic<long> blocks{0};
    const int numParams = plugin->NumParams();
    std::vector<clap_id> ids;
    for (const clap_param_info& info : plugin->ParamInfos()) {
        ids.push_back(info.id);
    }

    // The audio thread runs with automation while the main thread reads values and texts,
    // restores and saves state and answers the plug-in's callbacks.
    std::thread driver([&] {
        const int channels = plugin->InputChannels() > 0 ? plugin->InputChannels() : 1;
        const Planar input = MakeSignal(TestSignal::Noise, channels, 256, 44100.0, 11);
        std::mt19937 random(v.Settings().seed);
        while (!stop) {
            const ClapRunResult run =
                RunClap(*plugin, input, {256}, blocks % 2 == 0, [&](int, int frames) {
                    std::vector<ClapHostEvent> events;
                    if (numParams > 0 && frames > 0) {
                        const int i = int(random() % unsigned(numParams));
                        events.push_back(ClapHostEvent{
                            std::uint32_t(random() % unsigned(frames)), ids[size_t(i)],
                            plugin->PlainOf(i, (random() % 1001) / 1000.0)});
                    }
                    return events;
                });
            healthy = healthy && run.healthy;
            ++blocks;
        }
    });
    std::mt19937 random(v.Settings().seed + 1);
    // Until both sides did a fair amount of work, side by side.
    for (int i = 0; i < 3000 * v.Settings().repeat || blocks < 300; ++i) {
        if (numParams > 0) {
            const int index = int(random() % unsigned(numParams));
            plugin->ValueText(index, plugin->ParamValue(index));
        }
        if (hasState && i % 50 == 0) {
            plugin->LoadState(state, 16);
            std::vector<std::uint8_t> again;
            plugin->SaveState(&again, 16);
        }
        plugin->Pump();
    }
    stop = true;
    driver.join();
    plugin->Pump();
    v.Report("clap threads: audio against texts, values and state", healthy,
             Figure("%ld calls processed meanwhile", long(blocks)));
    const std::vector<std::string> violations = plugin->ThreadViolations();
    v.Report("clap threads: host calls on the right threads", violations.empty(),
             violations.empty() ? "every call on its thread" : violations.front());

    // Hosts scan and load plug-ins from several threads at once, each its own main thread.
    std::atomic<int> created{0};
    std::atomic<int> failed{0};
    std::vector<std::thread> makers;
    for (int t = 0; t < 4; ++t) {
        makers.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                std::string error;
                auto instance = ClapHostedPlugin::Create(v.Clap(), v.ClapId(), &error);
                if (!instance || !StartClap(*instance, 48000.0, 128)) {
                    ++failed;
                    continue;
                }
                ++created;
            }
        });
    }
    for (auto& maker : makers) {
        maker.join();
    }
    v.Report("clap threads: instances made and destroyed on 4 threads", failed == 0,
             Figure("%d instances, %d failures", int(created), int(failed)));
}
