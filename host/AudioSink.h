#pragma once

#include <cstddef>
#include <vector>

// Where a render's output goes.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Appends frames interleaved frames; false on a write error, with its text in Error().
    virtual bool Write(const double* interleaved, std::size_t frames) = 0;
    virtual const char* Error() const { return ""; }
};

// Output kept in memory, interleaved.
class MemorySink : public AudioSink {
public:
    explicit MemorySink(int channels) : channels_(std::size_t(channels)) {}
    bool Write(const double* interleaved, std::size_t frames) override {
        samples_.insert(samples_.end(), interleaved, interleaved + frames * channels_);
        return true;
    }
    const std::vector<double>& Samples() const { return samples_; }

private:
    std::size_t channels_;
    std::vector<double> samples_;
};
