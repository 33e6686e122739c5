// Cost of the effect per stereo frame, straight through ProcessBlock and through the module's
// float and double host callbacks, for Effect off, Effect on, and Effect with Vortalizer on.
// Counters: ns_per_frame, and rt_at_48k, how many times faster than real time at 48000 Hz.

#include "bench/GuitarLike.h"
#include "effect/PlugExample.h"
#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000;

VstIntPtr NullHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

// Mode 0: Effect off; 1: Effect on; 2: Effect and Vortalizer on.
const char* ModeName(int mode) {
    return mode == 0 ? "off" : mode == 1 ? "on" : "on+vortalizer";
}

void Report(benchmark::State& state, int frames, int mode) {
    const double processed = double(state.iterations()) * frames;
    state.counters["ns_per_frame"] = benchmark::Counter(
        processed * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["rt_at_48k"] =
        benchmark::Counter(processed / kRate, benchmark::Counter::kIsRate);
    state.SetLabel(ModeName(mode));
}

void ProcessBlockCost(benchmark::State& state) {
    const int mode = int(state.range(0));
    const int frames = int(state.range(1));
    PlugExample plug(&NullHost);
    plug.NotifyAllParameters();
    plug.ChangeSampleRate(kRate);
    plug.OnReset();
    plug.GetParam(PlugExample::kEffect)->SetPlain(mode > 0 ? 1 : 0);
    plug.OnParameterChange(PlugExample::kEffect);
    plug.GetParam(PlugExample::kVortalizer)->SetPlain(mode > 1 ? 1 : 0);
    plug.OnParameterChange(PlugExample::kVortalizer);
    std::vector<double> left = GuitarLike<double>(frames, 0.5),
                        right = GuitarLike<double>(frames, 0.2);
    std::vector<double> out0(static_cast<size_t>(frames)), out1(static_cast<size_t>(frames));
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {out0.data(), out1.data()};
    for (auto _ : state) {
        plug.ProcessBlock(in, out, frames);
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    Report(state, frames, mode);
}

PluginModule* Module() {
    static std::unique_ptr<PluginModule> module = [] {
        std::string error;
        auto loaded = PluginModule::Load(DefaultModulePath(), &error);
        if (!loaded) {
            std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
        }
        return loaded;
    }();
    return module.get();
}

template <class Sample> void HostPathCost(benchmark::State& state) {
    const int mode = int(state.range(0));
    const int frames = int(state.range(1));
    std::string error;
    if (!Module()) {
        state.SkipWithError("module not loaded");
        return;
    }
    auto plug = HostedPlugin::Create(*Module(), &error);
    plug->Open(kRate, frames);
    plug->Dispatch(effMainsChanged, 0, 1);
    plug->SetParameter(PlugExample::kEffect, mode > 0 ? 1.0f : 0.0f);
    plug->SetParameter(PlugExample::kVortalizer, mode > 1 ? 1.0f : 0.0f);
    const std::vector<double> l = GuitarLike<double>(frames, 0.5),
                              r = GuitarLike<double>(frames, 0.2);
    std::vector<Sample> left(l.begin(), l.end()), right(r.begin(), r.end());
    std::vector<Sample> out0(static_cast<size_t>(frames)), out1(static_cast<size_t>(frames));
    Sample* in[2] = {left.data(), right.data()};
    Sample* out[2] = {out0.data(), out1.data()};
    AEffect* effect = plug->Effect();
    for (auto _ : state) {
        if constexpr (sizeof(Sample) == sizeof(float)) {
            effect->processReplacing(effect, in, out, frames);
        } else {
            effect->processDoubleReplacing(effect, in, out, frames);
        }
        benchmark::DoNotOptimize(out0.data());
        benchmark::ClobberMemory();
    }
    Report(state, frames, mode);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int mode = 0; mode < 3; ++mode) {
        for (int frames : {64, 512, 4096}) {
            b->Args({mode, frames});
        }
    }
    b->ArgNames({"mode", "frames"});
}

BENCHMARK(ProcessBlockCost)->Apply(Sizes);
BENCHMARK_TEMPLATE(HostPathCost, float)->Apply(Sizes);
BENCHMARK_TEMPLATE(HostPathCost, double)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
