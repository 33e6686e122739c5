#pragma once

#include <string>
#include <utility>
#include <vector>

// One axis of a chart: its range, linear or logarithmic, its title and the values that get grid
// lines (labelled major ones, unlabelled minor ones).
struct ChartAxis {
    double low = 0.0;
    double high = 1.0;
    bool logarithmic = false;
    std::string title;
    std::vector<std::pair<double, std::string>> ticks;
    std::vector<double> minorTicks;

    // Where value lies from low (0) to high (1); beyond that outside the range.
    double Fraction(double value) const;
};

// 20 Hz to 20 kHz (or the given top), lines at 1, 2 and 5 of each decade, labelled "20",
// "1k", "20k", with every other whole multiple of a decade as a minor line.
ChartAxis FrequencyAxis(double low, double high, const std::string& title);

// A linear axis from low to high with labelled lines at a round step giving four to ten of
// them.
ChartAxis LinearAxis(double low, double high, const std::string& title);

// The range [low, high] widened to round values of the step LinearAxis would use, at least
// minimumSpan wide; for fitting an axis to data.
std::pair<double, double> RoundedRange(double low, double high, double minimumSpan);
