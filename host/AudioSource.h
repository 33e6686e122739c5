#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where the audio a render plays through the plug-in comes from: a file or a synthesized take.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual int Channels() const = 0;
    virtual int SampleRate() const = 0;
    // The length in frames, as far as it is known ahead.
    virtual std::int64_t Frames() const = 0;
    // Reads frames interleaved frames, fewer only at the end; tells how many in read. False on
    // a read error, with its text in Error().
    virtual bool Read(double* interleaved, std::size_t frames, std::size_t* read) = 0;
    virtual const char* Error() const { return ""; }
};

// Audio that is already in memory, one vector per channel.
class MemorySource : public AudioSource {
public:
    MemorySource(std::vector<std::vector<double>> channels, int sampleRate)
        : channels_(std::move(channels)), sampleRate_(sampleRate) {}

    int Channels() const override { return int(channels_.size()); }
    int SampleRate() const override { return sampleRate_; }
    std::int64_t Frames() const override {
        return channels_.empty() ? 0 : std::int64_t(channels_[0].size());
    }
    bool Read(double* interleaved, std::size_t frames, std::size_t* read) override {
        const std::size_t left = std::size_t(Frames()) - position_;
        const std::size_t n = frames < left ? frames : left;
        for (std::size_t f = 0; f < n; ++f) {
            for (std::size_t c = 0; c < channels_.size(); ++c) {
                interleaved[f * channels_.size() + c] = channels_[c][position_ + f];
            }
        }
        position_ += n;
        *read = n;
        return true;
    }

private:
    std::vector<std::vector<double>> channels_;
    int sampleRate_;
    std::size_t position_ = 0;
};
