#include "host/LevelMeter.h"

#include <cmath>
#include <cstdio>
#include <limits>

void LevelMeter::Add(const double* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const double magnitude = std::fabs(samples[i]);
        peak_ = magnitude > peak_ ? magnitude : peak_;
        sumOfSquares_ += samples[i] * samples[i];
    }
    samples_ += std::int64_t(count);
}

double LevelMeter::Rms() const {
    return samples_ > 0 ? std::sqrt(sumOfSquares_ / double(samples_)) : 0.0;
}

double LevelMeter::Decibels(double level) {
    return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

std::string LevelMeter::FormatDecibels(double level) {
    if (!(level > 0.0)) {
        return "-inf dBFS";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dBFS", Decibels(level));
    return text;
}
