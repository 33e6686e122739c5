#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The transcendental functions the oracle designs with: the system library's, or the
// plug-in's own portable ones (needed for bit-for-bit comparisons).
struct OracleMath {
    double (*exp)(double);
    double (*sin)(double);
    double (*cos)(double);
    double (*sinh)(double);
    double (*exp10)(double);
};
OracleMath SystemMath();
OracleMath PortableMath();

// A deliberately plain model of the whole effect, one sample at a time, every operation in the
// order the chain is defined in. Tests hold the plug-in to it.
class EffectOracle {
public:
    explicit EffectOracle(const OracleMath& math);

    // Parameter index and plain value, as the plug-in's parameter hook receives them.
    void SetParam(int index, double value);
    // The reset hook at rate, with the module noise seed it starts from; returns the new seed.
    std::uint32_t Reset(double rate, std::uint32_t seed);
    void Process(const double* in0, const double* in1, double* out0, double* out1, int frames);

    double biquad[32][5] = {}; // b0 b1 b2 a1 a2
    double noise[44100] = {};

private:
    struct Comb {
        double feedback = 0.5, store = 0, damping = 0.5;
        std::vector<double> line = std::vector<double>(1, 0.0);
        int pos = 0;
    };
    struct Allpass {
        double feedback = 0.5;
        std::vector<double> line = std::vector<double>(1, 0.0);
        int pos = 0;
    };

    std::array<double, 5> Literal(int type, double f, double bw, double gain, double rate);
    void Design(int slot, int type, double f, double bw, double gain, double rate);
    double Biquad(int slot, double x);
    double LowPass1(int slot, double x);
    double LowPass2(int slot, double x);
    void ConfigureReverb(bool clear);
    void Reverb(double& left, double& right);

    OracleMath m_;
    double params_[7] = {0.5, 0.5, 0.5, 0.5, 0.5, 1, 0};
    double workingRate_ = 44100, designedRate_ = 0, levelGain_, drive_ = 0.5;
    bool effectOn_ = true, vortalizerOn_ = false;
    double state_[32][4] = {}; // x1 x2 y1 y2
    double g1_[8] = {}, q1_[8] = {}, s1_[8] = {}, g2_[8] = {}, q2_[8] = {}, s2_[8] = {};
    double width_ = 1, roomSize_ = 0.5, damping_ = 0.5, reverbRate_ = 44100;
    Comb combs_[20];
    Allpass allpasses_[12];
};
