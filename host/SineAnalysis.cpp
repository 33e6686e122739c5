#include "host/SineAnalysis.h"

#include "host/FourierTransform.h"
#include "host/PluginProbe.h"

#include <cmath>
#include <complex>
#include <limits>

namespace {

constexpr double kSineHz = 1000.0;
constexpr int kWaveshapePoints = 512;

double Decibels(double amplitude) {
    return amplitude > 0.0 ? 20.0 * std::log10(amplitude)
                           : -std::numeric_limits<double>::infinity();
}

double Rms(const double* samples, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += samples[i] * samples[i];
    }
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

} // namespace

bool MeasureSine(PluginProbe& probe, double levelDb, SineResponse* response, std::string* error) {
    const std::size_t rate = std::size_t(probe.Rate());
    const double w = 2.0 * M_PI * kSineHz / double(rate);
    const double peak = std::pow(10.0, levelDb / 20.0);
    // 10 ms of fade-in and a quarter second to settle before the second that is measured.
    const std::size_t fade = rate / 100;
    const std::size_t settle = rate / 4;
    std::vector<double> input(settle + rate);
    for (std::size_t n = 0; n < input.size(); ++n) {
        const double ramp = n < fade ? double(n) / double(fade) : 1.0;
        input[n] = ramp * peak * std::sin(w * double(n));
    }
    std::vector<double> output;
    if (!probe.Play(input, &output, error)) {
        return false;
    }
    const std::vector<double> second(output.begin() + std::ptrdiff_t(settle), output.end());
    const std::vector<std::complex<double>> bins = RealSpectrum(second);

    *response = SineResponse();
    response->inputDb = levelDb;
    response->outputDb = Decibels(Rms(second.data(), second.size()) * std::sqrt(2.0));
    const double scale = 2.0 / double(rate);
    const int belowNyquist = int((double(rate) / 2.0 - 1.0) / kSineHz);
    const int counted = belowNyquist < 20 ? belowNyquist : 20;
    double distortion = 0.0;
    for (int h = 1; h <= counted; ++h) {
        const double amplitude = std::abs(bins[std::size_t(h * kSineHz)]) * scale;
        response->harmonicsDb.push_back(Decibels(amplitude));
        distortion += h > 1 ? amplitude * amplitude : 0.0;
    }
    const double fundamental = std::abs(bins[std::size_t(kSineHz)]) * scale;
    response->thd = fundamental > 0.0 ? std::sqrt(distortion) / fundamental
                                      : std::numeric_limits<double>::quiet_NaN();

    // The input is sin, a cosine at phase -pi/2; the shift is taken modulo half a period.
    double shift = std::arg(bins[std::size_t(kSineHz)]) + M_PI / 2.0;
    shift -= M_PI * std::round(shift / M_PI);
    const double dc = bins[0].real() / double(rate);
    // The period's first phase again at its end closes the curve.
    for (int j = 0; j <= kWaveshapePoints; ++j) {
        const double phase = 2.0 * M_PI * j / kWaveshapePoints;
        double y = dc;
        for (int h = 1; h <= belowNyquist; ++h) {
            const std::complex<double> c = bins[std::size_t(h * kSineHz)];
            y += std::abs(c) * scale * std::cos(h * phase + std::arg(c) - h * shift);
        }
        response->waveshape.push_back({peak * std::sin(phase), y});
    }
    return true;
}

bool MeasureLevelTransfer(PluginProbe& probe, std::vector<std::pair<double, double>>* levels,
                          std::string* error) {
    const double rate = probe.Rate();
    const double w = 2.0 * M_PI * kSineHz / rate;
    const std::size_t hold = std::size_t(std::lround(rate * 0.05));
    const std::size_t measured = std::size_t(std::lround(rate * 0.02));
    const std::size_t lead = std::size_t(rate / 10);
    std::vector<double> input(lead, 0.0);
    for (int db = -60; db <= 0; ++db) {
        const double peak = std::pow(10.0, db / 20.0);
        for (std::size_t i = 0; i < hold; ++i) {
            input.push_back(peak * std::sin(w * double(input.size())));
        }
    }
    std::vector<double> output;
    if (!probe.Play(input, &output, error)) {
        return false;
    }
    levels->clear();
    for (int db = -60; db <= 0; ++db) {
        const std::size_t end = lead + std::size_t(db + 61) * hold;
        const double rms = Rms(output.data() + end - measured, measured);
        levels->push_back({double(db), Decibels(rms * std::sqrt(2.0))});
    }
    return true;
}
