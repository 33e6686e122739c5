#include "host/FrequencyResponse.h"

#include "host/FourierTransform.h"
#include "host/PluginProbe.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kLowest = 20.0;
constexpr double kHighest = 20000.0;

} // namespace

bool MeasureFrequencyResponse(PluginProbe& probe, double levelDb, int points,
                              std::vector<ResponsePoint>* response, std::string* error) {
    const double rate = probe.Rate();
    const std::size_t lead = std::size_t(rate / 4);
    std::size_t length = 1;
    while (double(length) < 1.3 * rate) {
        length *= 2;
    }
    const double peak = std::pow(10.0, levelDb / 20.0);
    std::vector<double> input(lead + length, 0.0);
    input[lead] = peak;
    std::vector<double> output;
    if (!probe.Play(input, &output, error)) {
        return false;
    }
    // Padded to four times its length, so the bins lie close enough for straight lines between
    // them to follow narrow peaks and notches.
    std::vector<double> impulseResponse(output.begin() + std::ptrdiff_t(lead), output.end());
    impulseResponse.resize(4 * length, 0.0);
    const std::vector<std::complex<double>> bins = RealSpectrum(impulseResponse);
    const double binHz = rate / double(impulseResponse.size());
    const double highest = std::fmin(kHighest, 0.49 * rate);
    response->clear();
    for (int i = 0; i < points; ++i) {
        const double hz = kLowest * std::pow(highest / kLowest, double(i) / (points - 1));
        const double at = hz / binHz;
        const std::size_t k = std::size_t(at);
        const double f = at - double(k);
        const double magnitude = ((1.0 - f) * std::abs(bins[k]) + f * std::abs(bins[k + 1])) / peak;
        response->push_back({hz, magnitude > 0.0 ? 20.0 * std::log10(magnitude)
                                                 : -std::numeric_limits<double>::infinity()});
    }
    return true;
}
