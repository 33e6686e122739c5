#pragma once

#include "host/HostedPlugin.h"

#include <cfloat>
#include <cmath>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// An output sample a host can pass on: finite, and zero or not subnormal in its own type.
template <class Sample> bool Healthy(Sample x) {
    const Sample smallest = sizeof(Sample) == sizeof(double) ? Sample(DBL_MIN) : Sample(FLT_MIN);
    return std::isfinite(x) && (x == 0 || std::fabs(x) >= smallest);
}

// Test signals fed to a plug-in.
enum class TestSignal { Noise, Silence, Square, Impulses, Tiny };
const char* SignalName(TestSignal signal);

// Planar audio: one vector per channel.
using Planar = std::vector<std::vector<double>>;
Planar MakeSignal(TestSignal signal, int channels, int frames, double rate, std::uint32_t seed);

// Drives one instance through a stream of processing calls as a DAW does, checking every call:
// the inputs are left alone unless they are the outputs, and every output sample is finite and
// not subnormal in the path's sample type.
class AudioRun {
public:
    struct Result {
        Planar output;
        bool inputsUntouched = true;
        bool outputsHealthy = true;
        std::string firstProblem;
    };

    AudioRun(HostedPlugin& plugin, bool useDouble, bool inPlace);

    // Processes input in calls whose sizes come from blockSizes (cycled); 0-frame calls are
    // made as given. Each channel of input has the same length.
    Result Process(const Planar& input, const std::vector<int>& blockSizes);

private:
    template <class Sample> void Call(std::vector<Sample*>& in, std::vector<Sample*>& out, int n);
    template <class Sample> Result ProcessAs(const Planar& input, const std::vector<int>& sizes);

    HostedPlugin& plugin_;
    bool useDouble_;
    bool inPlace_;
};

// The sample rates the audio checks go through, from 8 kHz to 384 kHz and two odd ones.
extern const double kCheckedRates[10];
// The maximum block sizes they go through, from 1 to 16384.
extern const int kCheckedMaxBlocks[10];
// Call sizes for a maximum block: two full calls, an empty one, then random ones up to it.
std::vector<int> RandomCallSizes(int maxBlock, std::mt19937& random);

// Opens a fresh instance for rate and maximum block size and resumes it, as a DAW does.
void StartPlugin(HostedPlugin& plugin, double rate, int maxBlock);

// Whether the plug-in offers the double-precision processing path.
bool HasDoublePath(const HostedPlugin& plugin);

// Index of the parameter with this exact name, or -1.
int FindParameter(HostedParameters& plugin, const std::string& name);

// Every combination of the footswitches ("Effect", "Vortalizer") the plug-in has, as pairs of
// parameter index and normalized value.
std::vector<std::vector<std::pair<int, float>>> SwitchStates(HostedParameters& plugin);

// The largest difference between two signals, sample by sample.
double LargestDifference(const Planar& a, const Planar& b);
double Peak(const Planar& audio);
