#include "host/ChartAxis.h"

#include <cmath>
#include <cstdio>

namespace {

// A round step (1, 2 or 5 times a power of ten) giving four to ten intervals over span.
double RoundStep(double span) {
    const double raw = span / 6.0;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * decade >= raw) {
            return m * decade;
        }
    }
    return 10.0 * decade;
}

std::string Number(double v, double step) {
    char text[32];
    const int decimals = step >= 1.0 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    std::snprintf(text, sizeof text, "%.*f", decimals, std::fabs(v) < step * 1e-6 ? 0.0 : v);
    return text;
}

std::string HertzLabel(double hz) {
    char text[16];
    if (hz >= 1000.0) {
        std::snprintf(text, sizeof text, "%gk", hz / 1000.0);
    } else {
        std::snprintf(text, sizeof text, "%g", hz);
    }
    return text;
}

} // namespace

double ChartAxis::Fraction(double value) const {
    if (logarithmic) {
        return std::log(value / low) / std::log(high / low);
    }
    return (value - low) / (high - low);
}

ChartAxis FrequencyAxis(double low, double high, const std::string& title) {
    ChartAxis axis;
    axis.low = low;
    axis.high = high;
    axis.logarithmic = true;
    axis.title = title;
    for (double decade = 1.0; decade <= high; decade *= 10.0) {
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * decade;
            if (hz < low * 0.999 || hz > high * 1.001) {
                continue;
            }
            if (m == 1 || m == 2 || m == 5) {
                axis.ticks.push_back({hz, HertzLabel(hz)});
            } else {
                axis.minorTicks.push_back(hz);
            }
        }
    }
    return axis;
}

ChartAxis LinearAxis(double low, double high, const std::string& title) {
    ChartAxis axis;
    axis.low = low;
    axis.high = high;
    axis.title = title;
    const double step = RoundStep(high - low);
    for (double v = std::ceil(low / step - 1e-9) * step; v <= high + step * 1e-9; v += step) {
        axis.ticks.push_back({v, Number(v, step)});
        const double half = v + step / 2.0;
        if (half < high) {
            axis.minorTicks.push_back(half);
        }
    }
    return axis;
}

std::pair<double, double> RoundedRange(double low, double high, double minimumSpan) {
    if (!(high - low >= minimumSpan)) {
        const double middle = std::isfinite(low + high) ? (low + high) / 2.0 : 0.0;
        low = middle - minimumSpan / 2.0;
        high = middle + minimumSpan / 2.0;
    }
    const double step = RoundStep(high - low);
    return {std::floor(low / step + 1e-9) * step, std::ceil(high / step - 1e-9) * step};
}
