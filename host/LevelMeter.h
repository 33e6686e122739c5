#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Peak and RMS level over every sample it is shown, across all channels.
class LevelMeter {
public:
    void Add(const double* samples, std::size_t count);
    double Peak() const { return peak_; }
    double Rms() const;
    std::int64_t Samples() const { return samples_; }

    // Level in dBFS (1.0 is 0 dBFS); minus infinity for silence.
    static double Decibels(double level);
    // "-6.02 dBFS", or "-inf dBFS" for silence.
    static std::string FormatDecibels(double level);

private:
    double peak_ = 0.0;
    double sumOfSquares_ = 0.0;
    std::int64_t samples_ = 0;
};
