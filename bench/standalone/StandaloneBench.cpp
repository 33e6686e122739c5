// Cost of kelvorantumix's JACK process callback per period: the MIDI controller messages of the
// period through ControllerInput, then the period through PeriodProcessor into the plug-in, as
// JackEngine::Process does once libjack has handed over the port buffers. Periods of 64 and 256
// frames, mono and stereo, Effect on with and without the Vortalizer, with no MIDI and with a
// knob moving every period. The time of an iteration is the cost of one period; a period lasts
// 1333 us (64 frames) or 5333 us (256 frames) at 48000 Hz.

#include "bench/GuitarLike.h"
#include "effect/PlugExample.h"
#include "standalone/ControllerInput.h"
#include "standalone/EmbeddedPlugin.h"
#include "standalone/MidiMap.h"
#include "standalone/PeriodProcessor.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000;

// Arguments: frames, stereo (0/1), Vortalizer (0/1), a controller message each period (0/1).
void ProcessCallbackCost(benchmark::State& state) {
    const int frames = int(state.range(0));
    const bool stereo = state.range(1) != 0;
    const bool vortalizer = state.range(2) != 0;
    const bool midi = state.range(3) != 0;
    std::string error;
    auto plugin = EmbeddedPlugin::Create(&error);
    if (!plugin) {
        state.SkipWithError(error.c_str());
        return;
    }
    plugin->Open(kRate, frames);
    plugin->Resume();
    plugin->SetParameter(PlugExample::kVortalizer, vortalizer ? 1.0f : 0.0f);
    std::vector<MidiMap::Parameter> parameters;
    for (int i = 0; i < plugin->ParameterCount(); ++i) {
        parameters.push_back(
            {plugin->ParameterName(i), i == PlugExample::kEffect || i == PlugExample::kVortalizer});
    }
    MidiMap map;
    MidiMap::Parse(MidiMap::DefaultText(), parameters, &map, &error);
    ControllerInput controllers(map);
    PeriodProcessor processor(*plugin, stereo);

    std::vector<float> left = GuitarLike<float>(frames, 0.3),
                       right = GuitarLike<float>(frames, 0.3);
    std::vector<float> out1(static_cast<std::size_t>(frames));
    std::vector<float> out2(static_cast<std::size_t>(frames));
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {out1.data(), out2.data()};
    unsigned char drive[3] = {0xB0, 20, 0};
    for (auto _ : state) {
        if (midi) {
            drive[2] = (unsigned char)((drive[2] + 1) & 0x7F);
            controllers.Handle(drive, sizeof drive, *plugin);
        }
        processor.Run(inputs, outputs, frames);
        benchmark::DoNotOptimize(out1.data());
        benchmark::DoNotOptimize(out2.data());
    }
    state.SetLabel(std::string(stereo ? "stereo" : "mono") + (vortalizer ? ", vortalizer" : "") +
                   (midi ? ", a knob moving" : ""));
}

BENCHMARK(ProcessCallbackCost)
    ->ArgNames({"frames", "stereo", "vortalizer", "midi"})
    ->Args({64, 0, 0, 0})
    ->Args({64, 0, 1, 0})
    ->Args({64, 0, 0, 1})
    ->Args({64, 1, 0, 0})
    ->Args({256, 0, 0, 0})
    ->Args({256, 0, 1, 0})
    ->Args({256, 0, 0, 1})
    ->Args({256, 1, 0, 0})
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
