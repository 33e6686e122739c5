// Renders a fixed test signal through the plug-in, loaded by its exported entry, in every
// footswitch state on both processing paths, and writes the raw output samples to a file.
// Builds for other word sizes and systems must write the same bytes.
//   audio_render FILE

#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "audio_render: %s\n", message.c_str());
    return 1;
}

// A decaying two-note chord with a little noise, enough to drive every branch of the effect.
// Made with additions and multiplications only, so every system computes the same samples.
std::vector<double> TestSignal(int frames, double rate) {
    std::vector<double> signal(static_cast<size_t>(frames));
    // Each partial is a rotating phasor: (c, s) turns by a fixed angle every sample.
    struct Partial {
        double cosStep, sinStep, c, s, amplitude;
    };
    Partial partials[2] = {{0.99999, 0.0045, 1.0, 0.0, 0.4}, {0.99997, 0.0077, 1.0, 0.0, 0.3}};
    const int retrigger = int(rate / 2);
    double envelope = 1.0;
    std::uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i) {
        if (i % retrigger == 0) {
            envelope = 1.0;
        }
        double x = 0.0;
        for (Partial& p : partials) {
            const double c = p.c * p.cosStep - p.s * p.sinStep;
            p.s = p.s * p.cosStep + p.c * p.sinStep;
            p.c = c;
            x += p.amplitude * p.s;
        }
        noise = noise * 1664525u + 1013904223u;
        signal[size_t(i)] = envelope * x + 1e-3 * (double(noise >> 8) / double(1 << 24) - 0.5);
        envelope *= 0.9999;
    }
    return signal;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return Fail("usage: audio_render FILE");
    }
    std::string error;
    auto module = PluginModule::Load(DefaultModulePath(), &error);
    if (!module) {
        return Fail(error);
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        return Fail(std::string("cannot write ") + argv[1]);
    }
    const int frames = 22200; // whole blocks
    const int block = 300;
    for (double rate : {44100.0, 48000.0}) {
        const std::vector<double> input = TestSignal(frames, rate);
        for (int state = 0; state < 4; ++state) {
            for (bool useDouble : {false, true}) {
                auto plugin = HostedPlugin::Create(*module, &error);
                if (!plugin) {
                    std::fclose(out);
                    return Fail(error);
                }
                plugin->Open(rate, block);
                plugin->SetParameter(1, 0.7f);
                plugin->SetParameter(5, state & 1 ? 1.0f : 0.0f);
                plugin->SetParameter(6, state & 2 ? 1.0f : 0.0f);
                AEffect* effect = plugin->Effect();
                std::vector<float> fl(block), fr(block);
                std::vector<double> dl(block), dr(block);
                for (int start = 0; start < frames; start += block) {
                    for (int i = 0; i < block; ++i) {
                        dl[size_t(i)] = input[size_t(start + i)];
                        dr[size_t(i)] = 0.5 * input[size_t(start + i)];
                        fl[size_t(i)] = float(dl[size_t(i)]);
                        fr[size_t(i)] = float(dr[size_t(i)]);
                    }
                    if (useDouble) {
                        double* io[] = {dl.data(), dr.data()};
                        effect->processDoubleReplacing(effect, io, io, block);
                        std::fwrite(dl.data(), sizeof(double), dl.size(), out);
                        std::fwrite(dr.data(), sizeof(double), dr.size(), out);
                    } else {
                        float* io[] = {fl.data(), fr.data()};
                        effect->processReplacing(effect, io, io, block);
                        std::fwrite(fl.data(), sizeof(float), fl.size(), out);
                        std::fwrite(fr.data(), sizeof(float), fr.size(), out);
                    }
                }
            }
        }
    }
    return std::fclose(out) == 0 ? 0 : Fail(std::string("cannot write ") + argv[1]);
}
