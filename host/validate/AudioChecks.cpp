#include "host/validate/AudioRun.h"
#include "host/validate/Validation.h"

#include <cmath>

namespace {

const double kRates[] = {8000,  22050,  44100,  48000,     88200,
                         96000, 192000, 384000, 12345.678, 45678.901};
const int kMaxBlocks[] = {1, 10, 17, 64, 256, 512, 1024, 2027, 4096, 16384};

// The switch states to go through: every combination of the footswitches the plug-in has.
std::vector<std::vector<std::pair<int, float>>> SwitchStates(HostedPlugin& plugin) {
    std::vector<int> switches;
    for (const char* name : {"Effect", "Vortalizer"}) {
        const int index = FindParameter(plugin, name);
        if (index >= 0) {
            switches.push_back(index);
        }
    }
    std::vector<std::vector<std::pair<int, float>>> states;
    for (unsigned bits = 0; bits < (1u << switches.size()); ++bits) {
        std::vector<std::pair<int, float>> state;
        for (size_t s = 0; s < switches.size(); ++s) {
            state.emplace_back(switches[s], (bits >> s) & 1 ? 1.0f : 0.0f);
        }
        states.push_back(state);
    }
    return states;
}

std::vector<int> BlockSizes(int maxBlock, std::mt19937& random) {
    std::vector<int> sizes = {maxBlock, maxBlock, 0};
    std::uniform_int_distribution<int> size(0, maxBlock);
    for (int i = 0; i < 61; ++i) {
        sizes.push_back(i % 13 == 5 ? 0 : size(random));
    }
    return sizes;
}

double LargestDifference(const Planar& a, const Planar& b) {
    double largest = 0.0;
    for (size_t c = 0; c < a.size() && c < b.size(); ++c) {
        for (size_t i = 0; i < a[c].size() && i < b[c].size(); ++i) {
            largest = std::fmax(largest, std::fabs(a[c][i] - b[c][i]));
        }
    }
    return largest;
}

double Peak(const Planar& audio) {
    double peak = 0.0;
    for (const auto& channel : audio) {
        for (double x : channel) {
            peak = std::fmax(peak, std::fabs(x));
        }
    }
    return peak;
}

// Both instances of one comparison are fed alike; any tolerance covers only per-instance noise
// that a plug-in may add on purpose (to keep its filters out of subnormal numbers).
constexpr double kPlacementTolerance = 1e-6;

} // namespace

void CheckAudio(Validation& v) {
    const TestSignal signals[] = {TestSignal::Noise, TestSignal::Silence, TestSignal::Square,
                                  TestSignal::Impulses};
    for (double rate : kRates) {
        const std::uint32_t seed = v.NextCaseSeed();
        std::mt19937 random(seed);
        bool healthy = true, untouched = true, placementAgrees = true;
        double worstPlacement = 0.0, peak = 0.0;
        std::string problem;
        int runs = 0;
        for (int maxBlock : kMaxBlocks) {
            const std::vector<int> sizes = BlockSizes(maxBlock, random);
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
