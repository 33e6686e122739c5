#include "host/validate/ClapRun.h"

bool StartClap(ClapHostedPlugin& plugin, double rate, int maxFrames) {
    return plugin.Activate(rate, std::uint32_t(maxFrames)) && plugin.StartProcessing();
}

namespace {

template <class Sample>
ClapRunResult RunAs(ClapHostedPlugin& plugin, const Planar& input, const std::vector<int>& sizes,
                    const ClapCallEvents& events) {
    const int numIn = plugin.InputChannels();
    const int numOut = plugin.OutputChannels();
    const int frames = input.empty() ? 0 : int(input[0].size());
    int maxCall = 1;
    for (int size : sizes) {
        maxCall = size > maxCall ? size : maxCall;
    }
    std::vector<std::vector<Sample>> inBuffers(size_t(numIn),
                                               std::vector<Sample>(size_t(maxCall), Sample(0)));
    std::vector<std::vector<Sample>> outBuffers(size_t(numOut),
                                                std::vector<Sample>(size_t(maxCall), Sample(0)));
    std::vector<Sample*> in, out;
    for (auto& b : inBuffers) {
        in.push_back(b.data());
    }
    for (auto& b : outBuffers) {
        out.push_back(b.data());
    }
    in.push_back(nullptr);
    out.push_back(nullptr);

    ClapRunResult result;
    result.output.assign(size_t(numOut), std::vector<double>(size_t(frames), 0.0));
    int position = 0;
    for (size_t call = 0; position < frames && !sizes.empty(); ++call) {
        int n = sizes[call % sizes.size()];
        n = n < frames - position ? n : frames - position;
        for (int c = 0; c < numIn; ++c) {
            const auto& source = input[size_t(c) % input.size()];
            for (int i = 0; i < n; ++i) {
                inBuffers[size_t(c)][size_t(i)] = Sample(source[size_t(position + i)]);
            }
        }
        const std::vector<std::vector<Sample>> saved = inBuffers;
        plugin.Process(in.data(), out.data(), std::uint32_t(n),
                       events ? events(int(call), n) : std::vector<ClapHostEvent>{});
        if (saved != inBuffers && result.inputsUntouched) {
            result.inputsUntouched = false;
            result.firstProblem = "an input was modified at frame " + std::to_string(position);
        }
        for (int c = 0; c < numOut; ++c) {
            for (int i = 0; i < n; ++i) {
                const Sample y = outBuffers[size_t(c)][size_t(i)];
                if (!Healthy(y) && result.healthy) {
                    result.healthy = false;
                    if (result.firstProblem.empty()) {
                        result.firstProblem = "output " + std::to_string(c) + " frame " +
                                              std::to_string(position + i) + " is " +
                                              std::to_string(double(y));
                    }
                }
                result.output[size_t(c)][size_t(position + i)] = double(y);
            }
        }
        position += n;
    }
    return result;
}

} // namespace

ClapRunResult RunClap(ClapHostedPlugin& plugin, const Planar& input, const std::vector<int>& sizes,
                      bool useDouble, const ClapCallEvents& events) {
    return useDouble && plugin.Supports64Bits() ? RunAs<double>(plugin, input, sizes, events)
                                                : RunAs<float>(plugin, input, sizes, events);
}

bool ValuesInRange(ClapHostedPlugin& plugin, std::string* problem) {
    for (int i = 0; i < plugin.NumParams(); ++i) {
        const clap_param_info& info = plugin.ParamInfos()[size_t(i)];
        const double value = plugin.ParamValue(i);
        if (!std::isfinite(value) || value < info.min_value || value > info.max_value) {
            *problem = std::string(info.name) + " is " + std::to_string(value);
            return false;
        }
    }
    return true;
}
