#include "host/GuitarRiff.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

constexpr double kEighth = 60.0 / 140.0 / 2.0; // 140 beats per minute
constexpr double kStrumGap = 0.008;            // between strings of a downstroke
constexpr double kRelease = 0.12;              // a damped string dies away in this
constexpr double kPeak = 0.5;

struct Note {
    double start;  // in eighths
    double length; // in eighths
    int keys[3];   // MIDI note numbers, 0 for none
    bool muted;
};

// E minor: chugs on E5 answered by G5 and A5, then D5 C5 B5, a pentatonic run, and E5 to close.
constexpr Note kRiff[] = {
    {0, 1, {40, 47, 52}, true},   {1, 1, {40, 47, 52}, true},   {2, 1, {40, 47, 52}, true},
    {3, 1, {43, 50, 55}, false},  {4, 1, {40, 47, 52}, true},   {5, 1, {40, 47, 52}, true},
    {6, 2, {45, 52, 57}, false},  {8, 1, {40, 47, 52}, true},   {9, 1, {40, 47, 52}, true},
    {10, 1, {40, 47, 52}, true},  {11, 1, {50, 57, 62}, false}, {12, 1, {48, 55, 60}, false},
    {13, 1, {47, 54, 59}, false}, {14, 2, {40, 47, 52}, false}, {16, 1, {52, 0, 0}, false},
    {17, 1, {55, 0, 0}, false},   {18, 1, {57, 0, 0}, false},   {19, 1, {59, 0, 0}, false},
    {20, 1, {62, 0, 0}, false},   {21, 1, {59, 0, 0}, false},   {22, 1, {57, 0, 0}, false},
    {23, 1, {55, 0, 0}, false},   {24, 3, {52, 0, 0}, false},   {27, 1, {40, 47, 52}, true},
    {28, 4, {40, 47, 52}, false},
};
constexpr double kRiffEighths = 32.0;

// A small fixed-seed generator, so the riff is the same on every machine and every run.
struct Noise {
    std::uint32_t state = 0x9E3779B9u;
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }
};

double KeyFrequency(int key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

// Loop gain per period for a decay of 60 dB in seconds at frequency.
double LoopGain(double frequency, double seconds) {
    return std::pow(0.001, 1.0 / (frequency * seconds));
}

// One plucked string added into out: a burst of noise shaped by the pick, circulating in a delay
// line of one period whose two-point average takes the highs away as a real string does; a
// first-order allpass tunes the fractional part of the period.
void AddPluck(std::vector<double>& out, int rate, double frequency, std::size_t start,
              std::size_t held, double amplitude, bool muted, Noise& noise) {
    const double period = rate / frequency;
    const int length = int(std::floor(period - 0.6));
    const double fraction = period - 0.5 - length;
    const double allpass = (1.0 - fraction) / (1.0 + fraction);
    const double ringing = LoopGain(frequency, muted ? 0.3 : 2.5);
    const double damped = LoopGain(frequency, kRelease / 3.0);
    // A muted pluck is darker: its burst goes through a lower lowpass.
    const double smoothing = std::exp(-2.0 * M_PI * (muted ? 1500.0 : 5000.0) / rate);
    const int pickOffset = int(length * 0.13) + 1;

    std::vector<double> burst(std::size_t(length), 0.0);
    double smoothed = 0.0;
    for (double& sample : burst) {
        smoothed += (1.0 - smoothing) * (noise.Next() - smoothed);
        sample = smoothed;
    }
    std::vector<double> line(std::size_t(length), 0.0);
    for (int i = length - 1; i >= 0; --i) {
        // Picking away from the bridge cancels the harmonics with a node at the pick.
        const double picked =
            burst[std::size_t(i)] - (i >= pickOffset ? burst[std::size_t(i - pickOffset)] : 0.0);
        line[std::size_t(i)] = amplitude * picked;
    }

    const std::size_t total = held + std::size_t(kRelease * rate);
    std::size_t position = 0;
    double previous = 0.0;
    double allpassIn = 0.0;
    double allpassOut = 0.0;
    for (std::size_t n = 0; n < total && start + n < out.size(); ++n) {
        const double delayed = line[position];
        const double averaged = 0.5 * (delayed + previous);
        previous = delayed;
        const double tuned = allpass * averaged + allpassIn - allpass * allpassOut;
        allpassIn = averaged;
        allpassOut = tuned;
        const double fed = (n < held ? ringing : damped) * tuned;
        out[start + n] += delayed;
        line[position] = fed;
        position = position + 1 == std::size_t(length) ? 0 : position + 1;
    }
}

} // namespace

double GuitarRiffSeconds() {
    return kRiffEighths * kEighth;
}

std::vector<double> SynthesizeGuitarRiff(int sampleRate) {
    const double ringOut = 2.0 * kRelease;
    std::vector<double> riff(std::size_t((GuitarRiffSeconds() + ringOut) * sampleRate), 0.0);
    Noise noise;
    for (const Note& note : kRiff) {
        const double end = (note.start + note.length) * kEighth - (note.muted ? 0.01 : 0.0);
        for (int string = 0; string < 3 && note.keys[string]; ++string) {
            const double begin = note.start * kEighth + string * kStrumGap;
            const std::size_t start = std::size_t(std::lround(begin * sampleRate));
            const std::size_t held = std::size_t(std::lround((end - begin) * sampleRate));
            // Chords are played a little softer per string than single notes.
            const double amplitude = note.keys[1] ? 0.6 : 1.0;
            AddPluck(riff, sampleRate, KeyFrequency(note.keys[string]), start, held, amplitude,
                     note.muted, noise);
        }
    }
    double peak = 0.0;
    for (double sample : riff) {
        peak = std::fabs(sample) > peak ? std::fabs(sample) : peak;
    }
    const double gain = peak > 0.0 ? kPeak / peak : 0.0;
    for (double& sample : riff) {
        sample = double(float(sample * gain));
    }
    return riff;
}
