#include "host/validate/AudioRun.h"

#include <cfloat>
#include <cmath>

const double kCheckedRates[10] = {8000,  22050,  44100,  48000,     88200,
                                  96000, 192000, 384000, 12345.678, 45678.901};

const int kCheckedMaxBlocks[10] = {1, 10, 17, 64, 256, 512, 1024, 2027, 4096, 16384};

std::vector<int> RandomCallSizes(int maxBlock, std::mt19937& random) {
    std::vector<int> sizes = {maxBlock, maxBlock, 0};
    std::uniform_int_distribution<int> size(0, maxBlock);
    for (int i = 0; i < 61; ++i) {
        sizes.push_back(i % 13 == 5 ? 0 : size(random));
    }
    return sizes;
}

const char* SignalName(TestSignal signal) {
    switch (signal) {
    case TestSignal::Noise:
        return "noise";
    case TestSignal::Silence:
        return "silence";
    case TestSignal::Square:
        return "full-scale square";
    case TestSignal::Impulses:
        return "impulses";
    case TestSignal::Tiny:
        return "tiny values";
    }
    return "";
}

Planar MakeSignal(TestSignal signal, int channels, int frames, double rate, std::uint32_t seed) {
    Planar planar(size_t(channels), std::vector<double>(size_t(frames), 0.0));
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    const int squarePeriod = int(rate / 110.0) > 1 ? int(rate / 110.0) : 2;
    for (int c = 0; c < channels; ++c) {
        auto& channel = planar[size_t(c)];
        for (int i = 0; i < frames; ++i) {
            double& x = channel[size_t(i)];
            switch (signal) {
            case TestSignal::Noise:
                x = uniform(random);
                break;
            case TestSignal::Silence:
                break;
            case TestSignal::Square:
                x = (i % squarePeriod) < squarePeriod / 2 ? 1.0 : -1.0;
                break;
            case TestSignal::Impulses:
                x = i % 4099 == c ? 1.0 : 0.0;
                break;
            case TestSignal::Tiny:
                // Around the smallest normal float, where slow subnormal arithmetic lurks.
                x = FLT_MIN * (uniform(random) * 4.0);
                break;
            }
        }
    }
    return planar;
}

AudioRun::AudioRun(HostedPlugin& plugin, bool useDouble, bool inPlace)
    : plugin_(plugin), useDouble_(useDouble && HasDoublePath(plugin)), inPlace_(inPlace) {}

bool HasDoublePath(const HostedPlugin& plugin) {
    const AEffect* effect = plugin.Effect();
    return (effect->flags & effFlagsCanDoubleReplacing) && effect->processDoubleReplacing;
}

template <class Sample>
void AudioRun::Call(std::vector<Sample*>& in, std::vector<Sample*>& out, int n) {
    AEffect* effect = plugin_.Effect();
    if constexpr (sizeof(Sample) == sizeof(double)) {
        effect->processDoubleReplacing(effect, in.data(), out.data(), n);
    } else {
        effect->processReplacing(effect, in.data(), out.data(), n);
    }
}

template <class Sample>
AudioRun::Result AudioRun::ProcessAs(const Planar& input, const std::vector<int>& sizes) {
    AEffect* effect = plugin_.Effect();
    const int numIn = effect->numInputs;
    const int numOut = effect->numOutputs;
    const int frames = input.empty() ? 0 : int(input[0].size());
    int maxCall = 0;
    for (int size : sizes) {
        maxCall = size > maxCall ? size : maxCall;
    }
    const int lanes = numIn > numOut ? numIn : numOut;
    // In place: the host hands the same buffers as inputs and outputs.
    std::vector<std::vector<Sample>> inBuffers(size_t(lanes),
                                               std::vector<Sample>(size_t(maxCall) + 1));
    std::vector<std::vector<Sample>> outBuffers(size_t(lanes),
                                                std::vector<Sample>(size_t(maxCall) + 1));
    std::vector<Sample*> in(size_t(numIn > 0 ? numIn : 1), nullptr);
    std::vector<Sample*> out(size_t(numOut > 0 ? numOut : 1), nullptr);
    for (int c = 0; c < numIn; ++c) {
        in[size_t(c)] = inBuffers[size_t(c)].data();
    }
    for (int c = 0; c < numOut; ++c) {
        out[size_t(c)] = inPlace_ ? inBuffers[size_t(c)].data() : outBuffers[size_t(c)].data();
    }

    Result result;
    result.output.assign(size_t(numOut), std::vector<double>(size_t(frames), 0.0));
    std::vector<std::vector<Sample>> saved(static_cast<size_t>(numIn));
    int position = 0;
    for (size_t call = 0; position < frames && !sizes.empty(); ++call) {
        int n = sizes[call % sizes.size()];
        n = n < frames - position ? n : frames - position;
        for (int c = 0; c < lanes; ++c) {
            const auto& source = input[size_t(c) % input.size()];
            for (int i = 0; i < n; ++i) {
                inBuffers[size_t(c)][size_t(i)] = Sample(source[size_t(position + i)]);
            }
        }
        for (int c = 0; c < numIn; ++c) {
            saved[size_t(c)].assign(inBuffers[size_t(c)].begin(), inBuffers[size_t(c)].begin() + n);
        }
        Call(in, out, n);
        for (int c = 0; c < numIn && !inPlace_; ++c) {
            if (!std::equal(saved[size_t(c)].begin(), saved[size_t(c)].end(),
                            inBuffers[size_t(c)].begin())) {
                if (result.inputsUntouched) {
                    result.firstProblem = "input " + std::to_string(c) + " modified at frame " +
                                          std::to_string(position);
                }
                result.inputsUntouched = false;
            }
        }
        for (int c = 0; c < numOut; ++c) {
            for (int i = 0; i < n; ++i) {
                const Sample y = out[size_t(c)][i];
                if (!Healthy(y)) {
                    if (result.outputsHealthy && result.inputsUntouched) {
                        result.firstProblem = "output " + std::to_string(c) + " frame " +
                                              std::to_string(position + i) + " is " +
                                              std::to_string(double(y));
                    }
                    result.outputsHealthy = false;
                }
                result.output[size_t(c)][size_t(position + i)] = double(y);
            }
        }
        position += n;
    }
    return result;
}

AudioRun::Result AudioRun::Process(const Planar& input, const std::vector<int>& blockSizes) {
    return useDouble_ ? ProcessAs<double>(input, blockSizes) : ProcessAs<float>(input, blockSizes);
}

void StartPlugin(HostedPlugin& plugin, double rate, int maxBlock) {
    plugin.Dispatch(effOpen);
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, float(rate));
    plugin.Dispatch(effSetBlockSize, 0, maxBlock);
    plugin.Dispatch(effMainsChanged, 0, 1);
}

int FindParameter(HostedParameters& plugin, const std::string& name) {
    for (int i = 0; i < plugin.NumParams(); ++i) {
        if (plugin.ParamName(i) == name) {
            return i;
        }
    }
    return -1;
}

// The switch states to go through: every combination of the footswitches the plug-in has.
std::vector<std::vector<std::pair<int, float>>> SwitchStates(HostedParameters& plugin) {
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
