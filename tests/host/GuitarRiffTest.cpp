#include "host/GuitarRiff.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The period of the strongest repetition between 70 and 400 Hz, refined between lags.
double Pitch(const std::vector<double>& signal, std::size_t start, std::size_t length, int rate) {
    const auto correlation = [&](std::size_t lag) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + length; ++i) {
            sum += signal[i] * signal[i + lag];
        }
        return sum;
    };
    std::size_t best = 0;
    double bestValue = 0.0;
    for (std::size_t lag = std::size_t(rate / 400); lag <= std::size_t(rate / 70); ++lag) {
        if (correlation(lag) > bestValue) {
            bestValue = correlation(lag);
            best = lag;
        }
    }
    const double before = correlation(best - 1);
    const double after = correlation(best + 1);
    const double shift = 0.5 * (before - after) / (before - 2.0 * bestValue + after);
    return rate / (double(best) + shift);
}

double Rms(const std::vector<double>& signal, std::size_t start, std::size_t length) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + length; ++i) {
        sum += signal[i] * signal[i];
    }
    return std::sqrt(sum / double(length));
}

TEST(GuitarRiff, IsTheSameEveryTimeAtDIlevelAndFloatExact) {
    const std::vector<double> riff = SynthesizeGuitarRiff(44100);
    EXPECT_EQ(SynthesizeGuitarRiff(44100), riff);
    EXPECT_GE(riff.size(), std::size_t(GuitarRiffSeconds() * 44100));
    EXPECT_LE(riff.size(), std::size_t((GuitarRiffSeconds() + 0.5) * 44100));
    double peak = 0.0;
    for (double sample : riff) {
        ASSERT_EQ(sample, double(float(sample)));
        peak = std::max(peak, std::fabs(sample));
    }
    EXPECT_DOUBLE_EQ(peak, 0.5);
}

TEST(GuitarRiff, SoundsThroughoutWithoutGaps) {
    for (int rate : {8000, 44100, 96000}) {
        const std::vector<double> riff = SynthesizeGuitarRiff(rate);
        const std::size_t window = std::size_t(rate / 8);
        for (std::size_t start = 0; start + window <= std::size_t(GuitarRiffSeconds() * rate);
             start += window) {
            ASSERT_GT(Rms(riff, start, window), 0.003)
                << "at " << double(start) / rate << " s, " << rate << " Hz";
        }
    }
}

TEST(GuitarRiff, SingleNoteLineIsInTune) {
    // The line after the chords: E3 G3 A3 B3 D4 B3 A3 G3, one per eighth from the 17th eighth.
    const double notes[] = {164.81, 196.00, 220.00, 246.94, 293.66, 246.94, 220.00, 196.00};
    const double eighth = GuitarRiffSeconds() / 32.0;
    for (int rate : {44100, 48000}) {
        const std::vector<double> riff = SynthesizeGuitarRiff(rate);
        for (int n = 0; n < 8; ++n) {
            const std::size_t start = std::size_t(((16 + n) * eighth + 0.03) * rate);
            EXPECT_NEAR(Pitch(riff, start, std::size_t(0.1 * rate), rate), notes[n],
                        notes[n] * 0.005)
                << "note " << n << " at " << rate << " Hz";
        }
    }
}

} // namespace
