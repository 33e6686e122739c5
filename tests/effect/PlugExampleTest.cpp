#include "effect/PlugExample.h"
#include "EffectOracle.h"
#include "TestSignals.h"
#include "effect/FilterDesign.h"
#include "effect/SignalChain.h"
#include "effect/SoftClip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

VstIntPtr NullHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

// The plug-in driven through its hooks, with oracles fed the same calls.
struct Rig {
    std::unique_ptr<PlugExample> plug = std::make_unique<PlugExample>(&NullHost);
    EffectOracle exact{PortableMath()};
    EffectOracle system{SystemMath()};

    Rig() {
        for (int i = 0; i < PlugExample::kNumParams; ++i) {
            plug->OnParameterChange(i);
        }
    }
    void SetParam(int index, double value) {
        plug->GetParam(index)->SetPlain(value);
        plug->OnParameterChange(index);
        exact.SetParam(index, plug->GetParam(index)->Value());
        system.SetParam(index, plug->GetParam(index)->Value());
    }
    void Reset(double rate) {
        const std::uint32_t seed = NoiseSeed();
        plug->ChangeSampleRate(rate);
        plug->OnReset();
        exact.Reset(plug->SampleRate(), seed);
        system.Reset(plug->SampleRate(), seed);
    }
    // Runs the plug-in on (left, right) in place or into separate buffers.
    std::pair<std::vector<double>, std::vector<double>>
    Run(std::vector<double> left, std::vector<double> right, bool inPlace) {
        const int n = int(left.size());
        std::vector<double> out0(n), out1(n);
        double* in[2] = {left.data(), right.data()};
        double* out[2] = {out0.data(), out1.data()};
        plug->ProcessBlock(in, inPlace ? in : out, n);
        if (inPlace) {
            return {left, right};
        }
        return {out0, out1};
    }
};

std::vector<double> Signal(TestRandom& random, int n, double amplitude) {
    std::vector<double> v(n);
    double phase = random.Uniform();
    for (int i = 0; i < n; ++i) {
        phase += 0.013 + 0.001 * random.Uniform();
        v[i] = amplitude * (0.7 * std::sin(phase * 6.283185307179586) + 0.3 * random.Uniform());
    }
    return v;
}

} // namespace

TEST(SoftClip, CurveAndLimits) {
    EXPECT_EQ(SoftClip(0.2), 0.5);
    EXPECT_EQ(SoftClip(0.1), 0.375);
    EXPECT_EQ(SoftClip(-1.0), -0.5);
    EXPECT_EQ(SoftClip(-0.1), -0.375);
    EXPECT_EQ(SoftClip(0.0), 0.0);
    EXPECT_NEAR(SoftClip(0.19999999), 0.5, 1e-12);
    EXPECT_NEAR(SoftClip(1e-6) / 1e-6, 5.0, 1e-4);
}

// The shipped chain against the literal model, bit for bit, through random signals, block
// sizes (also longer than the noise table), parameter changes, switch flips, resets, rate
// changes, in-place and separate buffers and stray non-finite samples; and within 1e-12 of the
// same model designed with the system's math library.
TEST(PlugExample, MatchesTheLiteralModelBitForBit) {
    Rig rig;
    TestRandom random(12345);
    rig.Reset(44100);
    const int sizes[] = {1, 2, 3, 17, 64, 511, 512, 1000, 4096};
    long long samples = 0;
    double worstSystem = 0;
    for (int step = 0; step < 400; ++step) {
        const int action = random.Below(20);
        if (action == 0) {
            const double rates[] = {44100, 48000, 96000, 22050, 8000};
            rig.Reset(rates[random.Below(5)]);
        } else if (action == 1) {
            rig.Reset(rig.plug->SampleRate());
        } else if (action < 6) {
            const int index = random.Below(PlugExample::kNumParams);
            const double value = index >= PlugExample::kEffect ? (random.Below(4) == 0 ? 0.0 : 1.0)
                                                               : (random.Uniform() + 1) / 2;
            rig.SetParam(index, value);
        } else {
            const int n = step == 200 ? 50000 : sizes[random.Below(9)];
            const double amplitudes[] = {1.0, 0.1, 1e-3, 0.0, 4.0};
            const double amplitude = amplitudes[random.Below(5)];
            std::vector<double> left = Signal(random, n, amplitude);
            std::vector<double> right = Signal(random, n, amplitude);
            if (random.Below(8) == 0) {
                left[random.Below(n)] = std::numeric_limits<double>::quiet_NaN();
                right[random.Below(n)] = -std::numeric_limits<double>::infinity();
            }
            std::vector<double> e0(n), e1(n), s0(n), s1(n);
            rig.exact.Process(left.data(), right.data(), e0.data(), e1.data(), n);
            rig.system.Process(left.data(), right.data(), s0.data(), s1.data(), n);
            const auto out = rig.Run(left, right, random.Below(2) == 0);
            ASSERT_EQ(FirstBitDifference(out.first, e0), -1) << "step " << step;
            ASSERT_EQ(FirstBitDifference(out.second, e1), -1) << "step " << step;
            for (int i = 0; i < n; ++i) {
                if (std::isfinite(e0[i])) {
                    worstSystem = std::max(worstSystem, std::fabs(out.first[i] - s0[i]));
                    worstSystem = std::max(worstSystem, std::fabs(out.second[i] - s1[i]));
                }
            }
            samples += n;
        }
    }
    EXPECT_GT(samples, 100000);
    EXPECT_LE(worstSystem, 1e-12);
}

TEST(PlugExample, DefaultsBeforeTheFirstReset) {
    PlugExample plug(&NullHost);
    EXPECT_EQ(plug.WorkingRate(), 44100.0);
    EXPECT_NEAR(plug.LevelGain(), 0.0585, 1e-4);
    EXPECT_EQ(plug.Drive(), 0.5);
    EXPECT_TRUE(plug.EffectOn());
    EXPECT_FALSE(plug.VortalizerOn());
    EXPECT_EQ(plug.NoiseValues()[0], 0.0);
    EXPECT_EQ(plug.Biquads().b0[0], 0.0);
    // A tone change before the first reset designs at 44100; the reset redesigns at the real rate.
    plug.GetParam(PlugExample::kLow)->SetPlain(0.8);
    plug.OnParameterChange(PlugExample::kLow);
    BiquadBank expected{};
    DesignLowTone(expected, 0.8, 44100);
    EXPECT_EQ(plug.Biquads().b0[kLowToneSlot], expected.b0[kLowToneSlot]);
    plug.ChangeSampleRate(96000);
    plug.OnReset();
    DesignLowTone(expected, 0.8, 96000);
    EXPECT_EQ(plug.Biquads().b0[kLowToneSlot], expected.b0[kLowToneSlot]);
    EXPECT_EQ(plug.Biquads().a2[kLowToneSlot], expected.a2[kLowToneSlot]);
}

TEST(PlugExample, EffectOffIsThePlainSumAndTouchesNoMemory) {
    Rig rig;
    rig.Reset(48000);
    TestRandom random(7);
    rig.Run(Signal(random, 300, 1.0), Signal(random, 300, 1.0), false);
    rig.SetParam(PlugExample::kEffect, 0);
    const BiquadBank before = rig.plug->Biquads();
    std::vector<double> left = Signal(random, 777, 1.0), right = Signal(random, 777, 1.0);
    const auto out = rig.Run(left, right, false);
    for (int i = 0; i < 777; ++i) {
        ASSERT_EQ(out.first[i], right[i] + left[i]);
        ASSERT_EQ(out.second[i], right[i] + left[i]);
    }
    EXPECT_EQ(std::memcmp(&before, &rig.plug->Biquads(), sizeof before), 0);
}

TEST(PlugExample, SilenceStaysTinyButNeverZero) {
    Rig rig;
    rig.Reset(48000);
    TestRandom random(3);
    rig.Run(Signal(random, 4800, 1.0), Signal(random, 4800, 1.0), false);
    for (int block = 0; block < 200; ++block) {
        const auto out = rig.Run(std::vector<double>(4096), std::vector<double>(4096), false);
        if (block < 150) {
            continue; // let the loud signal's tail die away
        }
        for (int i = 0; i < 4096; ++i) {
            ASSERT_NE(out.first[i], 0.0);
            ASSERT_LT(std::fabs(out.first[i]), 1e-10);
            ASSERT_EQ(out.first[i], out.second[i]);
        }
    }
}

TEST(PlugExample, LevelZeroLeavesOnlyTheDecayingMemories) {
    Rig rig;
    rig.Reset(44100);
    TestRandom random(5);
    rig.Run(Signal(random, 2000, 1.0), Signal(random, 2000, 1.0), false);
    rig.SetParam(PlugExample::kLevel, 0.0);
    EXPECT_EQ(rig.plug->LevelGain(), 0.0);
    const auto out = rig.Run(Signal(random, 44100, 1.0), Signal(random, 44100, 1.0), false);
    EXPECT_GT(std::fabs(out.first[0]), 1e-6); // the voicing filters still ring
    for (int i = 22050; i < 44100; ++i) {
        ASSERT_LT(std::fabs(out.first[i]), 1e-9);
    }
    rig.SetParam(PlugExample::kLevel, 1.0);
    EXPECT_NEAR(rig.plug->LevelGain(), 0.18243, 5e-6);
}

TEST(PlugExample, VortalizerRightChannelCarriesOnlyReverberation) {
    Rig rig;
    rig.SetParam(PlugExample::kVortalizer, 1);
    rig.Reset(44100);
    std::vector<double> left(3000), right(3000);
    left[0] = 0.5;
    const auto out = rig.Run(left, right, false);
    for (int i = 0; i < 1139; ++i) { // the shortest right comb
        ASSERT_EQ(out.second[i], 0.0) << i;
    }
    EXPECT_NE(out.first[0], 0.0);
    double tail = 0;
    for (int i = 1139; i < 3000; ++i) {
        tail += std::fabs(out.second[i]);
    }
    EXPECT_GT(tail, 0.0);
}

TEST(PlugExample, ResetsClearMemoriesOnlyWhenTheRateChanges) {
    Rig rig;
    rig.SetParam(PlugExample::kVortalizer, 1);
    rig.Reset(44100);
    TestRandom random(9);
    rig.Run(Signal(random, 3000, 1.0), Signal(random, 3000, 1.0), false);
    const BiquadBank biquads = rig.plug->Biquads();
    const OnePoleBank poles = rig.plug->OnePoles();
    const std::vector<double> comb = rig.plug->Reverb().Comb(3).line;
    const std::vector<double> noise(rig.plug->NoiseValues(), rig.plug->NoiseValues() + 44100);
    rig.Reset(44100);
    EXPECT_EQ(std::memcmp(&biquads, &rig.plug->Biquads(), sizeof biquads), 0);
    EXPECT_EQ(std::memcmp(&poles, &rig.plug->OnePoles(), sizeof poles), 0);
    EXPECT_EQ(rig.plug->Reverb().Comb(3).line, comb);
    EXPECT_NE(std::vector<double>(rig.plug->NoiseValues(), rig.plug->NoiseValues() + 44100), noise);

    rig.Reset(48000);
    const BiquadBank& fresh = rig.plug->Biquads();
    for (int n = 0; n < BiquadBank::kSlots; ++n) {
        ASSERT_EQ(fresh.x1[n], 0.0);
        ASSERT_EQ(fresh.x2[n], 0.0);
        ASSERT_EQ(fresh.y1[n], 0.0);
        ASSERT_EQ(fresh.y2[n], 0.0);
    }
    for (int n = 0; n < OnePoleFamily::kSlots; ++n) {
        ASSERT_EQ(rig.plug->OnePoles().lowPass.state[n], 0.0);
        ASSERT_EQ(rig.plug->OnePoles().highPass.state[n], 0.0);
    }
    EXPECT_EQ(rig.plug->Reverb().Comb(0).line.size(), 1214u);
    EXPECT_EQ(rig.plug->Reverb().roomSize, 0.91);
    for (int k = 0; k < 20; ++k) {
        for (double v : rig.plug->Reverb().Comb(k).line) {
            ASSERT_EQ(v, 0.0);
        }
    }
}

// A bad sample from the host counts as silence; the samples around it are processed as usual.
TEST(PlugExample, NonFiniteInputSamplesEnterAsZero) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double value : bad) {
        Rig rig;
        rig.SetParam(PlugExample::kVortalizer, 1);
        rig.Reset(48000);
        TestRandom random(11);
        std::vector<double> left = Signal(random, 9000, 0.5), right = Signal(random, 9000, 0.5);
        std::vector<double> e0(9000), e1(9000);
        std::vector<double> zeroed = left;
        zeroed[100] = 0.0;
        left[100] = value;
        right[200] = value;
        std::vector<double> zeroedRight = right;
        zeroedRight[200] = 0.0;
        rig.exact.Process(zeroed.data(), zeroedRight.data(), e0.data(), e1.data(), 9000);
        const auto out = rig.Run(left, right, false);
        EXPECT_EQ(FirstBitDifference(out.first, e0), -1);
        EXPECT_EQ(FirstBitDifference(out.second, e1), -1);
        for (int i = 0; i < 9000; ++i) {
            ASSERT_TRUE(std::isfinite(out.first[i]) && std::isfinite(out.second[i]));
        }
    }
}

TEST(PlugExample, RecoversFromInputThatOverflowsTheArithmetic) {
    Rig rig;
    rig.SetParam(PlugExample::kVortalizer, 1);
    rig.Reset(44100);
    TestRandom random(5);
    std::vector<double> huge(512, 1e300), hugeRight(512, -1e300);
    const auto overflowed = rig.Run(huge, hugeRight, false);
    for (int i = 0; i < 512; ++i) {
        ASSERT_TRUE(std::isfinite(overflowed.first[i]) && std::isfinite(overflowed.second[i])) << i;
    }
    // The next blocks of ordinary guitar are processed from silent memories, not from NaNs.
    for (int block = 0; block < 4; ++block) {
        const auto out = rig.Run(Signal(random, 512, 0.5), Signal(random, 512, 0.5), false);
        double energy = 0.0;
        for (int i = 0; i < 512; ++i) {
            ASSERT_TRUE(std::isfinite(out.first[i]) && std::isfinite(out.second[i]));
            energy += out.first[i] * out.first[i];
        }
        EXPECT_GT(energy, 0.0);
    }
}

TEST(PlugExample, BypassPassesNoNonFiniteSamples) {
    Rig rig;
    rig.SetParam(PlugExample::kEffect, 0);
    rig.Reset(44100);
    std::vector<double> left = {0.25, std::nan(""), 1e308, INFINITY, -0.5};
    std::vector<double> right = {0.5, 0.1, 1e308, 0.0, 0.25};
    const auto out = rig.Run(left, right, false);
    EXPECT_EQ(out.first, (std::vector<double>{0.75, 0.0, 0.0, 0.0, -0.25}));
    EXPECT_EQ(out.second, out.first);
}

TEST(PlugExample, SwitchesTakeOnlyZeroOrOne) {
    PlugExample plug(&NullHost);
    plug.GetParam(PlugExample::kEffect)->SetPlain(0);
    plug.OnParameterChange(PlugExample::kEffect); // no editor attached: only the state changes
    EXPECT_FALSE(plug.EffectOn());
    plug.GetParam(PlugExample::kVortalizer)->SetPlain(1);
    plug.OnParameterChange(PlugExample::kVortalizer);
    EXPECT_TRUE(plug.VortalizerOn());
    plug.OnParameterChange(7);
    plug.OnParameterChange(-1);
    EXPECT_FALSE(plug.EffectOn());
    EXPECT_TRUE(plug.VortalizerOn());
}

// The chain, its designs and its noise give the same bits on the 32-bit and the 64-bit builds.
TEST(SignalChain, ReferenceRenderIsIdenticalOnEveryBuild) {
    BiquadBank biquads{};
    OnePoleBank poles{};
    DesignAllFilters(biquads, poles, 48000, 0.3, 0.7, 0.9);
    std::vector<double> noise(kNoiseTableLength);
    FillNoiseTable(noise.data(), 1);
    Reverberator reverb;
    reverb.rate = 48000;
    reverb.roomSize = 0.91;
    reverb.damping = 0;
    reverb.ConfigureReverberator(true);
    TestRandom random(2024);
    double phase = 0;
    std::uint64_t hash = HashDoubles(1469598103934665603ull, biquads.b0, 5 * BiquadBank::kSlots);
    for (int block = 0; block < 60; ++block) {
        const int n = 1 + random.Below(1600);
        // Built without the math library, whose results differ between the builds.
        std::vector<double> left(n), right(n);
        for (int i = 0; i < n; ++i) {
            phase += 0.0123;
            const double triangle = 4 * std::fabs(phase - std::floor(phase + 0.5)) - 1;
            left[i] = 0.8 * triangle + 0.2 * random.Uniform();
            right[i] = 0.5 * random.Uniform();
        }
        double* in[2] = {left.data(), right.data()};
        const ChainSettings settings{LevelGainFor(0.6), 0.8, block % 3 != 0};
        RunSignalChain(biquads, poles, reverb, noise.data(), settings, in, in, n);
        hash = HashDoubles(hash, left.data(), n);
        hash = HashDoubles(hash, right.data(), n);
    }
    EXPECT_EQ(hash, 0xc6423fed20307c74ull) << std::hex << hash;
}
