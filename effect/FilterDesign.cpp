#include "effect/FilterDesign.h"

#include "effect/DesignMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

const BiquadDesign kFixedBiquadDesigns[23] = {
    {kInputLowPassSlot, LowPass, 4300, 1.4, 0},
    {kFixedClipLowPassSlot, LowPass, 2000, 1.4, 0},
    {kFixedClipShelfSlot, HighShelf, 3100, 0, 12},
    {kMidDriveHighPassSlot, HighPass, 530, 1.4, 0},
    {kMidDriveLowPassSlot, LowPass, 1450, 1.4, 0},
    {kMidDrivePeakSlot, Peaking, 1260, 3.0, 24},
    {kMidDriveOutLowPassSlot, LowPass, 3550, 1.25, 0},
    {kMidDriveShelfSlot, HighShelf, 5450, 0, 6.6},
    {11, LowShelf, 80, 0, -10},
    {12, Peaking, 80, 1.0, 9.3},
    {13, Peaking, 300, 3.0, -3.3},
    {14, Peaking, 1200, 1.0, 4.2},
    {15, Peaking, 3100, 0.2, -6.3},
    {16, Peaking, 1100, 0.3, -6.9},
    {17, Peaking, 940, 0.2, -5.4},
    {18, Peaking, 1700, 0.3, 1.2},
    {19, Peaking, 600, 0.1, -12.6},
    {20, Peaking, 420, 0.2, 3.0},
    {21, Peaking, 1360, 0.2, -2.7},
    {22, Peaking, 6000, 0.2, -4.2},
    {23, Peaking, 100, 3.0, 3.0},
    {kPresenceSlot1, Peaking, 4300, 3.0, 17.7},
    {kPresenceSlot2, Peaking, 10000, 0.2, 6.9},
};

const OnePoleDesign kOnePoleDesigns[7] = {
    {false, kFixedClipSmoothSlot, 4545.451029958235},
    {false, kDoubleClipInputSlot, 6.283185307179586 * 2000},
    {false, kDoubleClipOutputSlot, 6.283185307179586 * 2700},
    {false, kMidDriveSmoothSlot, 6.283185307179586 * 6500},
    {true, kFixedClipHighPassSlot, 4526.934482857977},
    {true, kDoubleClipHighPassSlot, 4526.934482857977},
    {true, kDoubleClipOutputHighPassSlot, 4545.451029958235},
};

namespace {

struct Coefficients {
    double b0, b1, b2, a1, a2;
};

Coefficients Compute(int type, double frequency, double bandwidth, double gain, double rate) {
    const double A = DesignExp10(gain / 40);
    const double w = 6.283185307179586 * frequency / rate;
    const double s = DesignSin(w);
    double c = DesignCos(w);
    const double alpha = s * DesignSinh(0.34657359027997264 * bandwidth * w / s);
    double t = std::sqrt(2 * A) * s;
    double b0, b1, b2, a0, a1, a2;
    switch (type) {
    case HighPass:
        b0 = (1 + c) / 2;
        b1 = -(1 + c);
        b2 = (1 + c) / 2;
        a0 = 1 + alpha;
        a1 = -2 * c;
        a2 = 1 - alpha;
        break;
    case BandPass:
        b0 = alpha;
        b1 = 0;
        b2 = -alpha;
        a0 = 1 + alpha;
        a1 = -2 * c;
        a2 = 1 - alpha;
        break;
    case Notch:
        b0 = 1;
        b1 = -2 * c;
        b2 = 1;
        a0 = 1 + alpha;
        a1 = -2 * c;
        a2 = 1 - alpha;
        break;
    case Peaking:
        b0 = 1 + alpha * A;
        b1 = -2 * c;
        b2 = 1 - alpha * A;
        a0 = 1 + alpha / A;
        a1 = -2 * c;
        a2 = 1 - alpha / A;
        break;
    case LowShelfVariant:
    case LowShelf:
        if (type == LowShelfVariant) {
            c = DesignCos(0.41 * w);
            t = std::sqrt(A) / 1.41 * s;
        }
        b0 = A * ((A + 1) - (A - 1) * c + t);
        b1 = 2 * A * ((A - 1) - (A + 1) * c);
        b2 = A * ((A + 1) - (A - 1) * c - t);
        a0 = (A + 1) + (A - 1) * c + t;
        a1 = -2 * ((A - 1) + (A + 1) * c);
        a2 = (A + 1) + (A - 1) * c - t;
        break;
    case HighShelf:
        b0 = A * ((A + 1) + (A - 1) * c + t);
        b1 = -2 * A * ((A - 1) + (A + 1) * c);
        b2 = A * ((A + 1) + (A - 1) * c - t);
        a0 = (A + 1) - (A - 1) * c + t;
        a1 = 2 * ((A - 1) - (A + 1) * c);
        a2 = (A + 1) - (A - 1) * c - t;
        break;
    default: // LowPass, and every unknown code
        b0 = (1 - c) / 2;
        b1 = 1 - c;
        b2 = (1 - c) / 2;
        a0 = 1 + alpha;
        a1 = -2 * c;
        a2 = 1 - alpha;
        break;
    }
    return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

// Finite, with both poles strictly inside the unit circle.
bool Usable(const Coefficients& k) {
    return std::isfinite(k.b0) && std::isfinite(k.b1) && std::isfinite(k.b2) &&
           std::isfinite(k.a1) && std::isfinite(k.a2) && std::fabs(k.a2) < 1.0 &&
           std::fabs(k.a1) < 1.0 + k.a2;
}

} // namespace

void DesignBiquad(BiquadBank& bank, int slot, int type, double frequency, double bandwidth,
                  double gain, double rate) {
    if (slot < 0 || slot >= BiquadBank::kSlots) {
        return;
    }
    Coefficients k = Compute(type, frequency, bandwidth, gain, rate);
    if (!(frequency < 0.5 * rate) || !Usable(k)) {
        const double highest = kHighestDesignRatio * rate;
        k = Compute(type, frequency < highest ? frequency : highest, bandwidth, gain, rate);
        if (!Usable(k)) {
            k = {1, 0, 0, 0, 0}; // arguments with no sensible filter: pass the signal unchanged
        }
    }
    bank.b0[slot] = k.b0;
    bank.b1[slot] = k.b1;
    bank.b2[slot] = k.b2;
    bank.a1[slot] = k.a1;
    bank.a2[slot] = k.a2;
}

void DesignOnePole(OnePoleFamily& family, int slot, double twoPiFrequency, double rate) {
    const double p = DesignExp(-twoPiFrequency / rate);
    family.g[slot] = 1 - p;
    family.q[slot] = -p;
}

void ClearFilterBank(BiquadBank& biquads, OnePoleBank& onePoles) {
    std::memset(&biquads, 0, sizeof biquads);
    std::memset(&onePoles, 0, sizeof onePoles);
}

void ClearFilterMemories(BiquadBank& biquads, OnePoleBank& onePoles) {
    for (double* memory : {biquads.x1, biquads.x2, biquads.y1, biquads.y2}) {
        std::fill(memory, memory + BiquadBank::kSlots, 0.0);
    }
    std::fill(onePoles.lowPass.state, onePoles.lowPass.state + OnePoleFamily::kSlots, 0.0);
    std::fill(onePoles.highPass.state, onePoles.highPass.state + OnePoleFamily::kSlots, 0.0);
}

void DesignLowTone(BiquadBank& bank, double value, double rate) {
    DesignBiquad(bank, kLowToneSlot, Peaking, 200, 2.0, 20 * value, rate);
}

void DesignMidTone(BiquadBank& bank, double value, double rate) {
    DesignBiquad(bank, kMidToneSlot, Peaking, 1200, 3.0, 12 * value - 6, rate);
}

void DesignHighTone(BiquadBank& bank, double value, double rate) {
    DesignBiquad(bank, kHighToneSlot, Peaking, 3000, 3.0, 12 * value - 6, rate);
}

void DesignAllFilters(BiquadBank& biquads, OnePoleBank& onePoles, double rate, double low,
                      double mid, double high) {
    for (const BiquadDesign& d : kFixedBiquadDesigns) {
        DesignBiquad(biquads, d.slot, d.type, d.frequency, d.bandwidth, d.gain, rate);
    }
    DesignLowTone(biquads, low, rate);
    DesignMidTone(biquads, mid, rate);
    DesignHighTone(biquads, high, rate);
    for (const OnePoleDesign& d : kOnePoleDesigns) {
        DesignOnePole(d.highPassFamily ? onePoles.highPass : onePoles.lowPass, d.slot,
                      d.twoPiFrequency, rate);
    }
}
