#include "effect/DesignMath.h"
#include "effect/FilterDesign.h"
#include "effect/PlugExample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

std::int64_t UlpDistance(double a, double b) {
    std::int64_t ia, ib;
    std::memcpy(&ia, &a, 8);
    std::memcpy(&ib, &b, 8);
    if (ia < 0)
        ia = std::int64_t(0x8000000000000000ull) - ia;
    if (ib < 0)
        ib = std::int64_t(0x8000000000000000ull) - ib;
    return ia > ib ? ia - ib : ib - ia;
}

struct Coefficients {
    double b0, b1, b2, a1, a2;
};

Coefficients Design(int type, double f, double bw, double gain, double rate) {
    BiquadBank bank{};
    DesignBiquad(bank, 3, type, f, bw, gain, rate);
    return {bank.b0[3], bank.b1[3], bank.b2[3], bank.a1[3], bank.a2[3]};
}

void ExpectCoefficients(const Coefficients& k, double b0, double b1, double b2, double a1,
                        double a2) {
    EXPECT_NEAR(k.b0, b0, 5e-8);
    EXPECT_NEAR(k.b1, b1, 5e-8);
    EXPECT_NEAR(k.b2, b2, 5e-8);
    EXPECT_NEAR(k.a1, a1, 5e-8);
    EXPECT_NEAR(k.a2, a2, 5e-8);
}

bool Stable(const BiquadBank& bank, int n) {
    return std::isfinite(bank.b0[n]) && std::isfinite(bank.b1[n]) && std::isfinite(bank.b2[n]) &&
           std::fabs(bank.a2[n]) < 1 && std::fabs(bank.a1[n]) < 1 + bank.a2[n];
}

} // namespace

// The portable functions must stay within a unit or two of the system library over the
// argument ranges the designs feed them.
TEST(DesignMath, AgreesWithTheSystemLibrary) {
    std::int64_t worstExp = 0, worstSin = 0, worstCos = 0, worstSinh = 0, worstExp10 = 0;
    for (int i = 0; i <= 200000; ++i) {
        const double x = -40.0 + i * 4.00000731e-4; // -40 .. 40, irregular steps
        worstExp = std::max(worstExp, UlpDistance(DesignExp(x), std::exp(x)));
        const double w = i * 1.5707963e-5; // 0 .. ~pi
        worstSin = std::max(worstSin, UlpDistance(DesignSin(w), std::sin(w)));
        worstCos = std::max(worstCos, UlpDistance(DesignCos(w), std::cos(w)));
        const double y = -0.5 * x;
        if (std::fabs(y) > 1e-300) {
            worstSinh = std::max(worstSinh, UlpDistance(DesignSinh(y), std::sinh(y)));
        }
        const double g = x / 40;
        worstExp10 = std::max(worstExp10, UlpDistance(DesignExp10(g), std::pow(10.0, g)));
    }
    EXPECT_LE(worstExp, 1);
    EXPECT_LE(worstSin, 1);
    EXPECT_LE(worstCos, 1);
    EXPECT_LE(worstSinh, 2);
    EXPECT_LE(worstExp10, 2);
    EXPECT_EQ(DesignExp(0.0), 1.0);
    EXPECT_EQ(DesignExp(-800.0), 0.0);
    EXPECT_TRUE(std::isinf(DesignExp(710.0)));
    EXPECT_TRUE(std::isnan(DesignSin(NAN)));
    EXPECT_NEAR(DesignSin(-2.0), std::sin(-2.0), 1e-16);
    EXPECT_NEAR(DesignCos(100.0), std::cos(100.0), 1e-15);
    EXPECT_NEAR(DesignSinh(-30.0), std::sinh(-30.0), std::sinh(30.0) * 1e-15);
}

TEST(DesignBiquad, TableSlotsAt44100HaveTheirKnownCoefficients) {
    BiquadBank bank{};
    OnePoleBank poles{};
    DesignAllFilters(bank, poles, 44100, 0.5, 0.5, 0.5);
    auto slot = [&](int n) {
        return Coefficients{bank.b0[n], bank.b1[n], bank.b2[n], bank.a1[n], bank.a2[n]};
    };
    ExpectCoefficients(slot(0), 0.0693806, 0.1387611, 0.0693806, -1.2484090, 0.5259313);
    ExpectCoefficients(slot(2), 3.2126234, -5.0102564, 2.0573080, -1.1612957, 0.4209707);
    ExpectCoefficients(slot(5), 1.7861348, -1.8636764, 0.1079809, -1.8636764, 0.8941156);
    ExpectCoefficients(slot(11), 0.9953073, -1.9785837, 0.9833486, -1.9785056, 0.9787341);
    for (int n = kUsedBiquadSlots; n < BiquadBank::kSlots; ++n) {
        EXPECT_EQ(bank.b0[n], 0.0) << n;
    }
    // Tone defaults: Low boosts 200 Hz by 10 dB, Mid and High are wires.
    EXPECT_NE(bank.b0[kLowToneSlot], 1.0);
    for (int n : {kMidToneSlot, kHighToneSlot}) {
        EXPECT_EQ(bank.b0[n], 1.0);
        EXPECT_EQ(bank.b1[n], bank.a1[n]);
        EXPECT_EQ(bank.b2[n], bank.a2[n]);
    }
    const double w = 6.283185307179586 * 200 / 44100;
    const double re = std::cos(w), im = -std::sin(w), re2 = std::cos(2 * w), im2 = -std::sin(2 * w);
    const double nr = bank.b0[8] + bank.b1[8] * re + bank.b2[8] * re2;
    const double ni = bank.b1[8] * im + bank.b2[8] * im2;
    const double dr = 1 + bank.a1[8] * re + bank.a2[8] * re2;
    const double di = bank.a1[8] * im + bank.a2[8] * im2;
    EXPECT_NEAR(10 * std::log10((nr * nr + ni * ni) / (dr * dr + di * di)), 10.0, 1e-9);
    // One-poles at 720.484 Hz.
    EXPECT_NEAR(-poles.highPass.q[kFixedClipHighPassSlot], 0.9024414, 5e-8);
    EXPECT_NEAR(poles.highPass.g[kFixedClipHighPassSlot], 0.0975586, 5e-8);
    EXPECT_EQ(poles.highPass.g[kDoubleClipHighPassSlot], poles.highPass.g[kFixedClipHighPassSlot]);
    EXPECT_EQ(poles.highPass.g[3], 0.0);
    EXPECT_EQ(poles.lowPass.g[4], 0.0);
}

TEST(DesignBiquad, TypesAndCodes) {
    // A peaking filter at 0 dB is a wire after normalisation.
    const Coefficients flat = Design(Peaking, 1000, 1.0, 0.0, 48000);
    EXPECT_EQ(flat.b0, 1.0);
    EXPECT_EQ(flat.b1, flat.a1);
    EXPECT_EQ(flat.b2, flat.a2);
    // Unknown codes design a low-pass; gains are ignored by the plain types.
    for (int code : {9, -1, 8}) {
        const Coefficients k = Design(code, 2000, 1.4, 6, 44100);
        const Coefficients lp = Design(LowPass, 2000, 1.4, -3, 44100);
        EXPECT_EQ(std::memcmp(&k, &lp, sizeof k), 0) << code;
    }
    // DC and Nyquist gains tell the types apart.
    auto dcGain = [](const Coefficients& k) { return (k.b0 + k.b1 + k.b2) / (1 + k.a1 + k.a2); };
    auto nyquistGain = [](const Coefficients& k) {
        return (k.b0 - k.b1 + k.b2) / (1 - k.a1 + k.a2);
    };
    EXPECT_NEAR(dcGain(Design(LowPass, 1000, 1, 0, 48000)), 1.0, 1e-12);
    EXPECT_NEAR(nyquistGain(Design(LowPass, 1000, 1, 0, 48000)), 0.0, 1e-12);
    EXPECT_NEAR(dcGain(Design(HighPass, 1000, 1, 0, 48000)), 0.0, 1e-12);
    EXPECT_NEAR(nyquistGain(Design(HighPass, 1000, 1, 0, 48000)), 1.0, 1e-12);
    EXPECT_NEAR(dcGain(Design(BandPass, 1000, 1, 0, 48000)), 0.0, 1e-12);
    EXPECT_NEAR(dcGain(Design(Notch, 1000, 1, 0, 48000)), 1.0, 1e-12);
    const double g = std::pow(10.0, 6.0 / 20);
    EXPECT_NEAR(dcGain(Design(LowShelf, 300, 0, 6, 48000)), g, 1e-9);
    EXPECT_NEAR(nyquistGain(Design(LowShelf, 300, 0, 6, 48000)), 1.0, 1e-9);
    EXPECT_NEAR(dcGain(Design(HighShelf, 3000, 0, 6, 48000)), 1.0, 1e-9);
    EXPECT_NEAR(nyquistGain(Design(HighShelf, 3000, 0, 6, 48000)), g, 1e-9);
    // The variant shelf keeps the shelf's gain at DC and its own compressed transition.
    const Coefficients variant = Design(LowShelfVariant, 300, 0, 6, 48000);
    EXPECT_NEAR(dcGain(variant), g, 1e-9);
    EXPECT_NE(variant.a1, Design(LowShelf, 300, 0, 6, 48000).a1);
}

TEST(DesignBiquad, RedesignKeepsTheSlotsMemories) {
    BiquadBank bank{};
    bank.x1[8] = 0.25;
    bank.y2[8] = -0.5;
    DesignLowTone(bank, 0.0, 44100);
    EXPECT_EQ(bank.x1[8], 0.25);
    EXPECT_EQ(bank.y2[8], -0.5);
    EXPECT_EQ(bank.b0[8], 1.0); // Low at 0 is a wire
}

// Frequencies at or above half the rate, and those so close to it that the bandwidth term
// overflows, still give finite coefficients with both poles inside the unit circle.
TEST(DesignBiquad, EveryRateFrom8000To384000GivesStableFilters) {
    BiquadBank bank{};
    OnePoleBank poles{};
    for (int rate = 8000; rate <= 384000; rate += 7) {
        DesignAllFilters(bank, poles, rate, 1.0, 1.0, 1.0);
        for (int n = 0; n < kUsedBiquadSlots; ++n) {
            ASSERT_TRUE(Stable(bank, n)) << "slot " << n << " at " << rate;
        }
    }
    for (double f : {22050.0, 30000.0, 1e9, -100.0, 0.0}) {
        BiquadBank single{};
        for (int type = 0; type < 8; ++type) {
            DesignBiquad(single, 0, type, f, 3.0, 12, 44100);
            EXPECT_TRUE(Stable(single, 0)) << f << " type " << type;
        }
    }
    // At exactly half the rate the design is made just below it: still a low-pass.
    const Coefficients atNyquist = Design(LowPass, 22050, 1.4, 0, 44100);
    const Coefficients clamped = Design(LowPass, kHighestDesignRatio * 44100, 1.4, 0, 44100);
    EXPECT_EQ(std::memcmp(&atNyquist, &clamped, sizeof clamped), 0);
    // Below half the rate a design that is stable is kept as designed, not moved.
    const Coefficients below = Design(Peaking, 10000, 0.2, 6.9, 21000);
    const Coefficients moved = Design(Peaking, kHighestDesignRatio * 21000, 0.2, 6.9, 21000);
    EXPECT_NE(below.b0, moved.b0);
}

TEST(LevelGain, FollowsTheTaper) {
    EXPECT_EQ(LevelGainFor(0.0), 0.0);
    EXPECT_NEAR(LevelGainFor(0.25), 0.02384, 5e-6);
    EXPECT_NEAR(LevelGainFor(0.5), 0.05853, 5e-6);
    EXPECT_NEAR(LevelGainFor(0.75), 0.10899, 5e-6);
    EXPECT_NEAR(LevelGainFor(1.0), 0.18243, 5e-6);
}
