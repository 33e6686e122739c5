#include "host/validate/AllocationCounter.h"
#include "host/validate/AudioRun.h"
#include "host/validate/Validation.h"

#include <vector>

void CheckAllocations(Validation& v) {
    if (!allocation_counter::Available()) {
        v.Skip("audio thread: no allocation, one lock", "a sanitizer owns the allocator");
        return;
    }
    // The counter must see this program's own allocation, or a zero below would prove nothing.
    allocation_counter::Start();
    delete new volatile int(1);
    allocation_counter::Stop();
    if (allocation_counter::Allocations() != 2) {
        v.Report("audio thread: allocation counter works", false,
                 Figure("saw %ld of 2 heap calls", allocation_counter::Allocations()));
        return;
    }
    auto plugin = v.NewPlugin("audio thread: instantiate");
    if (!plugin) {
        return;
    }
    constexpr int kBlock = 512;
    StartPlugin(*plugin, 48000.0, kBlock);
    AEffect* effect = plugin->Effect();
    const int lanes =
        effect->numInputs > effect->numOutputs ? effect->numInputs : effect->numOutputs;
    std::vector<std::vector<float>> f(size_t(lanes), std::vector<float>(kBlock * 2, 0.25f));
    std::vector<std::vector<double>> d(size_t(lanes), std::vector<double>(kBlock * 2, 0.25));
    std::vector<float*> fin, fout;
    std::vector<double*> din, dout;
    for (auto& channel : f) {
        fin.push_back(channel.data());
        fout.push_back(channel.data());
    }
    for (auto& channel : d) {
        din.push_back(channel.data());
        dout.push_back(channel.data());
    }
    for (const char* name : {"Effect", "Vortalizer"}) {
        const int index = FindParameter(*plugin, name);
        if (index >= 0) {
            plugin->SetParameter(index, 1.0f);
        }
    }

    // Warm up first: a plug-in may allocate lazily on its first block, which hosts tolerate.
    const bool hasDouble = HasDoublePath(*plugin);
    effect->processReplacing(effect, fin.data(), fout.data(), kBlock);
    if (hasDouble) {
        effect->processDoubleReplacing(effect, din.data(), dout.data(), kBlock);
    }

    long allocations = 0;
    long worstLocks = 0;
    const int calls = 200;
    for (int call = 0; call < calls; ++call) {
        const int frames = call % 7 == 3 ? 0 : (call * 37) % kBlock + 1;
        allocation_counter::Start();
        if (call % 2 && hasDouble) {
            effect->processDoubleReplacing(effect, din.data(), dout.data(), frames);
        } else {
            effect->processReplacing(effect, fin.data(), fout.data(), frames);
        }
        allocation_counter::Stop();
        allocations += allocation_counter::Allocations();
        worstLocks =
            allocation_counter::Locks() > worstLocks ? allocation_counter::Locks() : worstLocks;
    }
    v.Report("audio thread: no allocation", allocations == 0,
             Figure("%ld heap calls in %d processing calls", allocations, calls));
    v.Report("audio thread: no lock but its own", worstLocks <= 1,
             Figure("at most %ld mutex lock(s) per processing call", worstLocks));
}
