// What each stage of the distortion chain costs per frame, at the block sizes played live and at a
// large one, in every instruction-set form the processor has: the clipping branches, the serial
// sections after the level stage, and the reverberator. The difference between a stage's cost at
// 16 frames and at 4096 is what a call costs it beyond its frames' own work.
// Counter: ns_per_frame.

#include "bench/GuitarLike.h"
#include "effect/ClippingBranches.h"
#include "effect/FilterDesign.h"
#include "effect/FourWide.h"
#include "effect/NoiseTable.h"
#include "effect/Reverberator.h"
#include "effect/SerialBiquads.h"
#include "effect/SignalChain.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000;
constexpr int kBlockSizes[] = {16, 64, 4096};

// The forms, by instruction set. False, with the benchmark skipped, where this processor does
// not run form.
constexpr const char* kFormNames[] = {"sse2", "avx", "avx512vl"};
bool RunsForm(benchmark::State& state, int form) {
    if (form == 0 || (form == 1 && HasFourWide()) || (form == 2 && HasFourWide32())) {
        return true;
    }
    state.SkipWithError("not on this processor");
    return false;
}

struct Filters {
    Filters() { DesignAllFilters(biquads, onePoles, kRate, 0.5, 0.5, 0.5); }
    BiquadBank biquads{};
    OnePoleBank onePoles{};
};

// Runs a block of frames once an iteration, writing to out, and reports its cost a frame.
template <class Block>
void Measure(benchmark::State& state, int frames, double* out, const Block& block) {
    for (auto _ : state) {
        block();
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_frame"] =
        benchmark::Counter(double(state.iterations()) * frames * 1e-9,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void Branches(benchmark::State& state, int frames) {
    Filters filters;
    std::vector<double> noise(kNoiseTableLength);
    RefillNoiseTable(noise.data());
    const std::vector<double> left = GuitarLike<double>(frames, 0.5),
                              right = GuitarLike<double>(frames, 0.2);
    std::vector<double> mix(static_cast<size_t>(frames));
    Measure(state, frames, mix.data(), [&] {
        RunClippingBranches(filters.biquads, filters.onePoles, 0.5, 0.5, left.data(), right.data(),
                            noise.data(), 0, mix.data(), frames);
    });
}

void Serial(benchmark::State& state, int form, int frames) {
    if (!RunsForm(state, form)) {
        return;
    }
    constexpr void (SerialBiquads::*kRun[])(const double*, double*, int) = {
        &SerialBiquads::RunTwoWide, &SerialBiquads::RunFourWide, &SerialBiquads::RunFourWide32};
    Filters filters;
    const std::vector<double> in = GuitarLike<double>(frames, 0.5);
    std::vector<double> out(static_cast<size_t>(frames));
    Measure(state, frames, out.data(), [&] {
        SerialBiquads serial(filters.biquads, PresenceToneVoicingOrder());
        (serial.*kRun[form])(in.data(), out.data(), frames);
    });
}

void Reverb(benchmark::State& state, int form, int frames) {
    if (!RunsForm(state, form)) {
        return;
    }
    constexpr void (Reverberator::*kProcess[])(const double*, const double*, double*, double*,
                                               int) = {&Reverberator::ProcessTwoWide,
                                                       &Reverberator::ProcessFourWide,
                                                       &Reverberator::ProcessFourWide32};
    // The effect's room, as the plug-in sets it.
    Reverberator reverb;
    reverb.rate = kRate;
    reverb.roomSize = 0.91;
    reverb.damping = 0.0;
    reverb.width = 1.0;
    reverb.ConfigureReverberator(true);
    const std::vector<double> in = GuitarLike<double>(frames, 0.5);
    std::vector<double> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    Measure(state, frames, left.data(), [&] {
        (reverb.*kProcess[form])(in.data(), in.data(), left.data(), right.data(), frames);
    });
}

void RegisterAll() {
    for (int frames : kBlockSizes) {
        const std::string size = "/frames:" + std::to_string(frames);
        benchmark::RegisterBenchmark(("Branches" + size).c_str(), Branches, frames);
        for (int form = 0; form < 3; ++form) {
            const std::string name = std::string("/form:") + kFormNames[form] + size;
            benchmark::RegisterBenchmark(("Serial" + name).c_str(), Serial, form, frames);
            benchmark::RegisterBenchmark(("Reverb" + name).c_str(), Reverb, form, frames);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
