#pragma once

#include <string>
#include <vector>

class PluginProbe;

struct ResponsePoint {
    double hertz;
    double decibels; // output over input; minus infinity where nothing comes out
};

// The small-signal magnitude response from 20 Hz to 20 kHz (or just below half the rate), on
// points logarithmically spaced: an impulse of the given peak level after a quarter second of
// silence (so smoothed parameters settle), its response over 1.3 seconds or more, transformed.
bool MeasureFrequencyResponse(PluginProbe& probe, double levelDb, int points,
                              std::vector<ResponsePoint>* response, std::string* error);
