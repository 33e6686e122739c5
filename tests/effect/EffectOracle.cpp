#include "EffectOracle.h"

#include "effect/DesignMath.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>

OracleMath SystemMath() {
    return {[](double x) { return std::exp(x); }, [](double x) { return std::sin(x); },
            [](double x) { return std::cos(x); }, [](double x) { return std::sinh(x); },
            [](double x) { return std::pow(10.0, x); }};
}

OracleMath PortableMath() {
    return {DesignExp, DesignSin, DesignCos, DesignSinh, DesignExp10};
}

EffectOracle::EffectOracle(const OracleMath& math) : m_(math) {
    levelGain_ = 1 - (1 - m_.exp(-3 * (1 - 0.5 / 2))) * (1 / (1 - m_.exp(-3)));
    ConfigureReverb(false);
}

std::array<double, 5> EffectOracle::Literal(int type, double f, double bw, double gain,
                                            double rate) {
    double A = m_.exp10(gain / 40);
    double w = 6.283185307179586 * f / rate;
    double s = m_.sin(w), c = m_.cos(w);
    double alpha = s * m_.sinh(0.34657359027997264 * bw * w / s);
    double t = std::sqrt(2 * A) * s;
    double b0, b1, b2, a0, a1, a2;
    if (type == 1) { // high-pass
        b0 = (1 + c) / 2, b1 = -(1 + c), b2 = (1 + c) / 2;
        a0 = 1 + alpha, a1 = -2 * c, a2 = 1 - alpha;
    } else if (type == 4) { // peaking
        b0 = 1 + alpha * A, b1 = -2 * c, b2 = 1 - alpha * A;
        a0 = 1 + alpha / A, a1 = -2 * c, a2 = 1 - alpha / A;
    } else if (type == 5) { // low shelf
        b0 = A * ((A + 1) - (A - 1) * c + t);
        b1 = 2 * A * ((A - 1) - (A + 1) * c);
        b2 = A * ((A + 1) - (A - 1) * c - t);
        a0 = (A + 1) + (A - 1) * c + t;
        a1 = -2 * ((A - 1) + (A + 1) * c);
        a2 = (A + 1) + (A - 1) * c - t;
    } else if (type == 6) { // high shelf
        b0 = A * ((A + 1) + (A - 1) * c + t);
        b1 = -2 * A * ((A - 1) + (A + 1) * c);
        b2 = A * ((A + 1) + (A - 1) * c - t);
        a0 = (A + 1) - (A - 1) * c + t;
        a1 = 2 * ((A - 1) - (A + 1) * c);
        a2 = (A + 1) - (A - 1) * c - t;
    } else { // low-pass
        b0 = (1 - c) / 2, b1 = 1 - c, b2 = (1 - c) / 2;
        a0 = 1 + alpha, a1 = -2 * c, a2 = 1 - alpha;
    }
    return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

// At or above half the rate, or wherever the design breaks down near it, the filter is designed
// at 0.45 times the rate instead; what still fails becomes a wire.
void EffectOracle::Design(int slot, int type, double f, double bw, double gain, double rate) {
    auto stable = [](const std::array<double, 5>& k) {
        for (double v : k)
            if (!std::isfinite(v))
                return false;
        return k[4] < 1 && k[4] > -1 && k[3] < 1 + k[4] && -k[3] < 1 + k[4];
    };
    std::array<double, 5> k = Literal(type, f, bw, gain, rate);
    if (!(f < rate / 2) || !stable(k)) {
        k = Literal(type, f < 0.45 * rate ? f : 0.45 * rate, bw, gain, rate);
        if (!stable(k))
            k = {1, 0, 0, 0, 0};
    }
    for (int i = 0; i < 5; ++i)
        biquad[slot][i] = k[i];
}

void EffectOracle::SetParam(int index, double v) {
    params_[index] = v;
    if (index == 0)
        levelGain_ = 1 - (1 - m_.exp(-3 * (1 - v / 2))) * (1 / (1 - m_.exp(-3)));
    if (index == 1)
        drive_ = v;
    if (index == 2)
        Design(8, 4, 200, 2.0, 20 * v, workingRate_);
    if (index == 3)
        Design(9, 4, 1200, 3.0, 12 * v - 6, workingRate_);
    if (index == 4)
        Design(10, 4, 3000, 3.0, 12 * v - 6, workingRate_);
    if (index == 5 && (int(v) == 0 || int(v) == 1))
        effectOn_ = int(v) == 1;
    if (index == 6 && (int(v) == 0 || int(v) == 1))
        vortalizerOn_ = int(v) == 1;
}

std::uint32_t EffectOracle::Reset(double rate, std::uint32_t seed) {
    workingRate_ = rate;
    float running[44100];
    float r = 0;
    for (int i = 0; i < 44100; ++i) {
        seed = seed * 1234567u + 890123u;
        std::uint32_t bits = (seed & 0x9E7F0000u) | 0x1E000000u;
        float n;
        std::memcpy(&n, &bits, 4);
        r = r + n;
        running[i] = r;
    }
    for (int i = 0; i < 44100; ++i)
        noise[i] = double(running[i]);
    if (workingRate_ == designedRate_)
        return seed;
    designedRate_ = workingRate_;
    std::memset(biquad, 0, sizeof biquad);
    std::memset(state_, 0, sizeof state_);
    for (double* a : {g1_, q1_, s1_, g2_, q2_, s2_})
        std::memset(a, 0, 8 * sizeof(double));
    const double R = workingRate_;
    Design(0, 0, 4300, 1.4, 0, R);
    Design(1, 0, 2000, 1.4, 0, R);
    Design(2, 6, 3100, 0, 12, R);
    Design(3, 1, 530, 1.4, 0, R);
    Design(4, 0, 1450, 1.4, 0, R);
    Design(5, 4, 1260, 3.0, 24, R);
    Design(6, 0, 3550, 1.25, 0, R);
    Design(7, 6, 5450, 0, 6.6, R);
    Design(8, 4, 200, 2.0, 20 * params_[2], R);
    Design(9, 4, 1200, 3.0, 12 * params_[3] - 6, R);
    Design(10, 4, 3000, 3.0, 12 * params_[4] - 6, R);
    Design(11, 5, 80, 0, -10, R);
    Design(12, 4, 80, 1.0, 9.3, R);
    Design(13, 4, 300, 3.0, -3.3, R);
    Design(14, 4, 1200, 1.0, 4.2, R);
    Design(15, 4, 3100, 0.2, -6.3, R);
    Design(16, 4, 1100, 0.3, -6.9, R);
    Design(17, 4, 940, 0.2, -5.4, R);
    Design(18, 4, 1700, 0.3, 1.2, R);
    Design(19, 4, 600, 0.1, -12.6, R);
    Design(20, 4, 420, 0.2, 3.0, R);
    Design(21, 4, 1360, 0.2, -2.7, R);
    Design(22, 4, 6000, 0.2, -4.2, R);
    Design(23, 4, 100, 3.0, 3.0, R);
    Design(24, 4, 4300, 3.0, 17.7, R);
    Design(25, 4, 10000, 0.2, 6.9, R);
    const double lowPassProducts[4] = {4545.451029958235, 6.283185307179586 * 2000,
                                       6.283185307179586 * 2700, 6.283185307179586 * 6500};
    const double highPassProducts[3] = {4526.934482857977, 4526.934482857977, 4545.451029958235};
    for (int i = 0; i < 4; ++i) {
        double p = m_.exp(-lowPassProducts[i] / R);
        g1_[i] = 1 - p, q1_[i] = -p;
    }
    for (int i = 0; i < 3; ++i) {
        double p = m_.exp(-highPassProducts[i] / R);
        g2_[i] = 1 - p, q2_[i] = -p;
    }
    if (reverbRate_ != R) {
        reverbRate_ = R;
        ConfigureReverb(true);
    }
    roomSize_ = 0.91, damping_ = 0.0, width_ = 1.0;
    ConfigureReverb(true);
    return seed;
}

double EffectOracle::Biquad(int n, double x) {
    double* k = biquad[n];
    double* s = state_[n];
    double y = k[0] * x + k[1] * s[0] + k[2] * s[1] - k[3] * s[2] - k[4] * s[3];
    s[1] = s[0], s[0] = x, s[3] = s[2], s[2] = y;
    return y + 1e-20;
}

double EffectOracle::LowPass1(int n, double x) {
    double y = g1_[n] * x - q1_[n] * s1_[n];
    s1_[n] = y;
    return y;
}

double EffectOracle::LowPass2(int n, double x) {
    double y = g2_[n] * x - q2_[n] * s2_[n];
    s2_[n] = y;
    return y;
}

static double Clip(double v) {
    if (std::fabs(v) < 0.2)
        return 5 * v * (1 - std::fabs(v) / 0.4);
    return v > 0 ? 0.5 : -0.5;
}

void EffectOracle::ConfigureReverb(bool clear) {
    const int combBase[10] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617, 1685, 1748};
    const int allpassBase[6] = {556, 441, 341, 225, 180, 153};
    double ratio = reverbRate_ / 44100;
    auto length = [&](int base) {
        int n = int(base * ratio);
        return n < 1 ? 1 : n;
    };
    for (int k = 0; k < 6; ++k) {
        for (int side = 0; side < 2; ++side) {
            Allpass& a = allpasses_[2 * k + side];
            int n = length(allpassBase[k] + 23 * side);
            if (int(a.line.size()) != n)
                a.line.assign(n, 0.0), a.pos = 0;
            a.feedback = 0.5;
        }
    }
    for (int k = 0; k < 10; ++k) {
        for (int side = 0; side < 2; ++side) {
            Comb& c = combs_[2 * k + side];
            int n = length(combBase[k] + 23 * side);
            if (int(c.line.size()) != n)
                c.line.assign(n, 0.0), c.pos = 0;
            c.feedback = roomSize_, c.damping = damping_ * 0.4;
        }
    }
    if (clear) {
        for (Allpass& a : allpasses_)
            a.line.assign(a.line.size(), 0.0);
        for (Comb& c : combs_)
            c.line.assign(c.line.size(), 0.0);
    }
}

void EffectOracle::Reverb(double& left, double& right) {
    double in[2] = {left * 0.015, right * 0.015};
    double sum[2] = {0, 0};
    for (int k = 0; k < 10; ++k) {
        for (int side = 0; side < 2; ++side) {
            Comb& c = combs_[2 * k + side];
            double o = c.line[c.pos];
            c.store = (1 - c.damping) * o + c.damping * c.store;
            if (std::fabs(c.store) < DBL_MIN)
                c.store = 0.0;
            c.line[c.pos] = c.feedback * c.store + in[side];
            if (++c.pos == int(c.line.size()))
                c.pos = 0;
            sum[side] += o;
        }
    }
    for (int k = 0; k < 6; ++k) {
        for (int side = 0; side < 2; ++side) {
            Allpass& a = allpasses_[2 * k + side];
            double b = a.line[a.pos];
            double out = b - sum[side];
            double stored = b * a.feedback + sum[side];
            a.line[a.pos] = std::fabs(stored) < DBL_MIN ? 0.0 : stored;
            if (++a.pos == int(a.line.size()))
                a.pos = 0;
            sum[side] = out;
        }
    }
    double l = sum[0], r = sum[1];
    left = l * width_ + r * (1 - width_);
    right = r * width_ + l * (1 - width_);
}

void EffectOracle::Process(const double* in0, const double* in1, double* out0, double* out1,
                           int frames) {
    for (int i = 0; i < frames; ++i) {
        double i1 = std::isfinite(in1[i]) ? in1[i] : 0.0;
        double i0 = std::isfinite(in0[i]) ? in0[i] : 0.0;
        if (!effectOn_) {
            // The plain sum, with anything not finite leaving as silence.
            double v = in1[i] + in0[i];
            v = std::isfinite(v) ? v : 0.0;
            out1[i] = v, out0[i] = v;
            continue;
        }
        double x = i1 + i0 + noise[i % 44100];
        double y0 = Biquad(0, x);
        // MidDriveBranch
        double t = Biquad(5, Biquad(4, Biquad(3, x)));
        double k = Clip(drive_ * 50 * t);
        double l = LowPass1(3, k) + 1e-20;
        double a = Biquad(7, Biquad(6, l)) * 2.55;
        // FixedClipBranch
        double u = Biquad(1, y0);
        double h = u - LowPass2(0, u) + 1e-20;
        double kk = Clip(8 * h);
        double z = LowPass1(0, u + kk) + 1e-20;
        double b = Biquad(2, z);
        // DoubleClipBranch
        double p = LowPass1(1, y0) + 1e-20;
        double h2 = p - LowPass2(1, p) + 1e-20;
        double d = Clip(Clip((7.5 * drive_ + 3) * h2));
        double l2 = LowPass1(2, d) + 1e-20;
        double q = d - LowPass2(2, d) + 1e-20;
        double c = (q * -0.07 + l2) * 0.6;

        double mix = ((b + a) + c) * levelGain_;
        for (int slot : {24, 25, 8, 9, 10})
            mix = Biquad(slot, mix);
        for (int slot = 11; slot <= 23; ++slot)
            mix = Biquad(slot, mix);
        double S = mix;
        out0[i] = S, out1[i] = S;
        if (vortalizerOn_) {
            Reverb(out0[i], out1[i]);
            out0[i] = out0[i] * 0.075 + S;
            out1[i] = out1[i] * 0.075;
        }
    }
}
