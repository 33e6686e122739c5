#include "host/Renderer.h"

#include "host/HostedPlugin.h"

#include <chrono>
#include <cmath>
#include <vector>

namespace {

// Per-channel buffers for one precision, with the pointer arrays the process calls take.
template <class Sample> struct Buffers {
    Buffers(int inputs, int outputs, int frames)
        : in(std::size_t(inputs), std::vector<Sample>(std::size_t(frames))),
          out(std::size_t(outputs), std::vector<Sample>(std::size_t(frames))) {
        for (auto& channel : in) {
            inPointers.push_back(channel.data());
        }
        for (auto& channel : out) {
            outPointers.push_back(channel.data());
        }
    }
    std::vector<std::vector<Sample>> in;
    std::vector<std::vector<Sample>> out;
    std::vector<Sample*> inPointers;
    std::vector<Sample*> outPointers;
};

template <class Sample>
void Deinterleave(const std::vector<double>& interleaved, int channels, int frames,
                  Buffers<Sample>& buffers) {
    for (std::size_t c = 0; c < buffers.in.size(); ++c) {
        Sample* to = buffers.in[c].data();
        for (int f = 0; f < frames; ++f) {
            to[f] = int(c) < channels ? Sample(interleaved[std::size_t(f * channels) + c]) : 0;
        }
    }
}

template <class Sample>
std::int64_t Interleave(const Buffers<Sample>& buffers, int channels, int frames,
                        std::vector<double>* interleaved) {
    std::int64_t nonFinite = 0;
    for (int c = 0; c < channels; ++c) {
        const Sample* from = buffers.out[std::size_t(c)].data();
        for (int f = 0; f < frames; ++f) {
            double sample = double(from[f]);
            if (!std::isfinite(sample)) {
                sample = 0.0;
                ++nonFinite;
            }
            (*interleaved)[std::size_t(f * channels + c)] = sample;
        }
    }
    return nonFinite;
}

// A VST 2.x plug-in that is open, set to the rate and block size, with its channels arranged.
// Plug-ins that follow the transport see it playing from the start at 120 beats per minute.
class VstRenderTarget : public RenderTarget {
public:
    explicit VstRenderTarget(HostedPlugin& plugin) : plugin_(plugin) {}
    int NumInputs() override { return plugin_.Effect()->numInputs; }
    int NumOutputs() override { return plugin_.Effect()->numOutputs; }
    void StartRender(double rate, int) override {
        time_ = VstTimeInfo{};
        time_.sampleRate = rate;
        time_.tempo = 120.0;
        time_.timeSigNumerator = 4;
        time_.timeSigDenominator = 4;
        time_.flags = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstTimeSigValid;
        plugin_.SetTimeInfo(&time_);
        plugin_.Resume();
    }
    void ProcessFloat(float** in, float** out, int frames, std::int64_t position) override {
        Locate(position);
        plugin_.ProcessFloat(in, out, frames);
    }
    void ProcessDouble(double** in, double** out, int frames, std::int64_t position) override {
        Locate(position);
        plugin_.ProcessDouble(in, out, frames);
    }
    void StopRender() override {
        plugin_.Suspend();
        plugin_.SetTimeInfo(nullptr);
    }

private:
    void Locate(std::int64_t position) {
        time_.samplePos = double(position);
        time_.ppqPos = time_.samplePos / time_.sampleRate * time_.tempo / 60.0;
    }

    HostedPlugin& plugin_;
    VstTimeInfo time_{};
};

} // namespace

bool Render(HostedPlugin& plugin, AudioSource& source, AudioSink& sink,
            const RenderSettings& settings, const RenderProgress& progress, RenderResult* result,
            std::string* error) {
    VstRenderTarget target(plugin);
    return Render(target, source.SampleRate(), source, sink, settings, progress, result, error);
}

bool Render(RenderTarget& target, double rate, AudioSource& source, AudioSink& sink,
            const RenderSettings& settings, const RenderProgress& progress, RenderResult* result,
            std::string* error) {
    const int channels = source.Channels();
    const int block = settings.blockSize;
    const int inputs = target.NumInputs() > channels ? target.NumInputs() : channels;
    const int outputs = target.NumOutputs() > channels ? target.NumOutputs() : channels;
    Buffers<float> floats(settings.useDouble ? 0 : inputs, settings.useDouble ? 0 : outputs, block);
    Buffers<double> doubles(settings.useDouble ? inputs : 0, settings.useDouble ? outputs : 0,
                            block);
    std::vector<double> interleaved(std::size_t(block * channels));

    *result = RenderResult();
    const std::int64_t expected = source.Frames() + settings.tailFrames;
    std::int64_t tailLeft = settings.tailFrames;
    bool inputEnded = false;
    bool ok = true;
    target.StartRender(rate, block);
    using Clock = std::chrono::steady_clock;
    Clock::duration processing{};
    while (ok) {
        std::size_t read = 0;
        if (!inputEnded) {
            if (!source.Read(interleaved.data(), std::size_t(block), &read)) {
                *error = std::string("cannot read the input: ") + source.Error();
                ok = false;
                break;
            }
            inputEnded = read < std::size_t(block);
            result->input.Add(interleaved.data(), read * std::size_t(channels));
            result->inputFrames += std::int64_t(read);
        }
        // The tail fills the rest of the block the input ended in, then whole blocks.
        const std::int64_t room = block - std::int64_t(read);
        const std::int64_t silence = inputEnded ? (tailLeft < room ? tailLeft : room) : 0;
        tailLeft -= silence;
        const int frames = int(std::int64_t(read) + silence);
        if (frames == 0) {
            break;
        }
        for (std::size_t i = read * std::size_t(channels); i < std::size_t(frames * channels);
             ++i) {
            interleaved[i] = 0.0;
        }

        if (settings.useDouble) {
            Deinterleave(interleaved, channels, frames, doubles);
            const Clock::time_point start = Clock::now();
            target.ProcessDouble(doubles.inPointers.data(), doubles.outPointers.data(), frames,
                                 result->outputFrames);
            processing += Clock::now() - start;
            result->nonFinite += Interleave(doubles, channels, frames, &interleaved);
        } else {
            Deinterleave(interleaved, channels, frames, floats);
            const Clock::time_point start = Clock::now();
            target.ProcessFloat(floats.inPointers.data(), floats.outPointers.data(), frames,
                                result->outputFrames);
            processing += Clock::now() - start;
            result->nonFinite += Interleave(floats, channels, frames, &interleaved);
        }
        result->output.Add(interleaved.data(), std::size_t(frames * channels));
        result->outputFrames += frames;
        if (!sink.Write(interleaved.data(), std::size_t(frames))) {
            *error = sink.Error();
            ok = false;
        } else if (progress && !progress(result->outputFrames, expected)) {
            *error = "interrupted";
            ok = false;
        }
    }
    target.StopRender();
    result->processSeconds = std::chrono::duration<double>(processing).count();
    return ok;
}
