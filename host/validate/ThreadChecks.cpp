#include "host/validate/AudioRun.h"
#include "host/validate/Validation.h"

#include <atomic>
#include <cmath>
#include <thread>

void CheckThreads(Validation& v) {
    auto plugin = v.NewPlugin("threads: instantiate");
    if (!plugin) {
        return;
    }
    StartPlugin(*plugin, 44100.0, 256);
    const std::vector<unsigned char> chunk = plugin->GetChunk(true);
    std::atomic<bool> stop{false};
    std::atomic<bool> healthy{true};
    std::atomic<long> blocks{0};

    // A DAW's audio thread runs while its user-interface thread automates and restores state.
    std::thread audio([&] {
        const int channels = plugin->Effect()->numInputs > 0 ? plugin->Effect()->numInputs : 1;
        const Planar input = MakeSignal(TestSignal::Noise, channels, 256, 44100.0, 11);
        while (!stop) {
            AudioRun run(*plugin, blocks % 2 == 0, false);
            if (!run.Process(input, {256}).outputsHealthy) {
                healthy = false;
            }
            ++blocks;
        }
    });
    std::thread interface([&] {
        std::mt19937 random(v.Settings().seed);
        const int numParams = plugin->Effect()->numParams;
        for (int i = 0; i < 3000 * v.Settings().repeat; ++i) {
            if (numParams > 0) {
                plugin->SetParameter(int(random() % unsigned(numParams)),
                                     float(random() % 1001) / 1000.0f);
            }
            if (i % 50 == 0 && !chunk.empty()) {
                plugin->SetChunk(chunk, i % 100 == 0);
                plugin->GetChunk(i % 100 != 0);
            }
            char text[256];
            plugin->Dispatch(effGetParamDisplay, int(random() % 8), 0, text);
        }
        stop = true;
    });
    interface.join();
    audio.join();
    v.Report("threads: audio against automation and state", healthy,
             Figure("%ld blocks processed meanwhile", long(blocks)));

    // Hosts scan and load plug-ins from several threads at once.
    std::atomic<int> created{0};
    std::atomic<int> failed{0};
    std::vector<std::thread> makers;
    for (int t = 0; t < 4; ++t) {
        makers.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                std::string error;
                auto instance = HostedPlugin::Create(v.Module(), &error);
                if (!instance) {
                    ++failed;
                    continue;
                }
                instance->Open(48000.0, 128);
                ++created;
            }
        });
    }
    for (auto& maker : makers) {
        maker.join();
    }
    v.Report("threads: instances made and closed on 4 threads", failed == 0,
             Figure("%d instances, %d failures", int(created), int(failed)));
}
