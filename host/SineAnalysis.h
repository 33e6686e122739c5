#pragma once

#include <string>
#include <vector>

class PluginProbe;

// What a plug-in does to a steady 1 kHz sine at one level, from one second of its output once
// settled: at any whole sample rate a second holds exactly a thousand periods, so each harmonic
// falls on one bin of the transform.
struct SineResponse {
    double inputDb = 0.0;  // the sine's peak level, dBFS
    double outputDb = 0.0; // the output's RMS level in dBFS, 0 for a full-scale sine
    // Harmonic h (1 kHz x h, up to 20 kHz and below half the rate) at index h - 1, in dBFS.
    std::vector<double> harmonicsDb;
    // Total harmonic distortion, the harmonics from the second on over the fundamental, as a
    // ratio; not a number when nothing comes out at 1 kHz.
    double thd = 0.0;
    // One period in and one period out, {input, output} at 512 phases and the first again: the
    // output rebuilt from all its harmonics below half the rate and shifted so its fundamental
    // lines up with the input's, or with the inverted input when the plug-in turns the signal over.
    std::vector<std::pair<double, double>> waveshape;
};

bool MeasureSine(PluginProbe& probe, double levelDb, SineResponse* response, std::string* error);

// The output's RMS level against the sine's level from -60 to 0 dBFS in steps of 1 dB, each
// level held for 50 ms and measured over its last 20 ms, in one take.
bool MeasureLevelTransfer(PluginProbe& probe, std::vector<std::pair<double, double>>* levels,
                          std::string* error);
