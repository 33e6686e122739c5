#include "host/validate/AudioRun.h"
#include "host/validate/Validation.h"

#include <cmath>

namespace {

// Both instances of one comparison are fed alike; any tolerance covers only per-instance noise
// that a plug-in may add on purpose (to keep its filters out of subnormal numbers).
constexpr double kPlacementTolerance = 1e-6;

} // namespace

void CheckAudio(Validation& v) {
    const TestSignal signals[] = {TestSignal::Noise, TestSignal::Silence, TestSignal::Square,
                                  TestSignal::Impulses};
    for (double rate : kCheckedRates) {
        const std::uint32_t seed = v.NextCaseSeed();
        std::mt19937 random(seed);
        bool healthy = true, untouched = true, placementAgrees = true;
        double worstPlacement = 0.0, peak = 0.0;
        std::string problem;
        int runs = 0;
        for (int maxBlock : kCheckedMaxBlocks) {
            const std::vector<int> sizes = RandomCallSizes(maxBlock, random);
            for (bool useDouble : {false, true}) {
                auto outOfPlace = v.NewPlugin("audio: instantiate");
                auto inPlace = v.NewPlugin("audio: instantiate");
                if (!outOfPlace || !inPlace) {
                    return;
                }
                if (useDouble && !HasDoublePath(*outOfPlace)) {
                    continue;
                }
                StartPlugin(*outOfPlace, rate, maxBlock);
                StartPlugin(*inPlace, rate, maxBlock);
                const int channels =
                    outOfPlace->Effect()->numInputs > 0 ? outOfPlace->Effect()->numInputs : 1;
                const int frames = int(rate * 0.02) + maxBlock;
                for (const auto& state : SwitchStates(*outOfPlace)) {
                    for (const auto& [index, value] : state) {
                        outOfPlace->SetParameter(index, value);
                        inPlace->SetParameter(index, value);
                    }
                    for (TestSignal signal : signals) {
                        const Planar input = MakeSignal(signal, channels, frames, rate, seed);
                        AudioRun a(*outOfPlace, useDouble, false);
                        AudioRun b(*inPlace, useDouble, true);
                        const AudioRun::Result ra = a.Process(input, sizes);
                        const AudioRun::Result rb = b.Process(input, sizes);
                        ++runs;
                        const double difference = LargestDifference(ra.output, rb.output);
                        worstPlacement = std::fmax(worstPlacement, difference);
                        peak = std::fmax(peak, Peak(ra.output));
                        const bool ok = ra.outputsHealthy && rb.outputsHealthy &&
                                        ra.inputsUntouched && difference <= kPlacementTolerance;
                        if (!ok && problem.empty()) {
                            problem = Figure("block %d, %s, %s: %s", maxBlock,
                                             useDouble ? "double" : "float", SignalName(signal),
                                             !ra.firstProblem.empty()   ? ra.firstProblem.c_str()
                                             : !rb.firstProblem.empty() ? rb.firstProblem.c_str()
                                                                        : "in place differs");
                        }
                        healthy = healthy && ra.outputsHealthy && rb.outputsHealthy;
                        untouched = untouched && ra.inputsUntouched;
                        placementAgrees = placementAgrees && difference <= kPlacementTolerance;
                    }
                }
            }
        }
        const bool passed = healthy && untouched && placementAgrees;
        v.Report(
            Figure("audio: %.3f Hz", rate), passed,
            passed ? Figure("%d runs, peak %.3f, in place vs not %.1e", runs, peak, worstPlacement)
                   : problem + Figure(" (seed %u)", unsigned(seed)));
    }

    // A host that sends more frames than the block size it announced.
    auto plugin = v.NewPlugin("audio: oversized block");
    if (!plugin) {
        return;
    }
    StartPlugin(*plugin, 44100.0, 256);
    AudioRun run(*plugin, false, false);
    const Planar input = MakeSignal(
        TestSignal::Noise, plugin->Effect()->numInputs > 0 ? plugin->Effect()->numInputs : 1, 4096,
        44100.0, 7);
    const AudioRun::Result result = run.Process(input, {512});
    v.Report("audio: call of twice the block size", result.outputsHealthy,
             result.outputsHealthy ? "512 frames after a block size of 256" : result.firstProblem);
}
