#include "TestSignals.h"
#include "host/HostedPlugin.h"
#include "host/PluginModule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

class HostedEffect : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        module_ = PluginModule::Load(DefaultModulePath(), &error).release();
        ASSERT_NE(module_, nullptr) << error;
    }
    static void TearDownTestSuite() {
        delete module_;
        module_ = nullptr;
    }

    std::unique_ptr<HostedPlugin> Make(double rate, int block = 512) {
        std::string error;
        auto plug = HostedPlugin::Create(*module_, &error);
        EXPECT_NE(plug, nullptr) << error;
        plug->Open(rate, block);
        plug->Dispatch(effMainsChanged, 0, 1);
        return plug;
    }

    // Loud guitar-like test input, exactly representable in single precision.
    static std::vector<double> Input(TestRandom& random, int n, double amplitude) {
        std::vector<double> v(n);
        double phase = 0;
        for (int i = 0; i < n; ++i) {
            phase += 0.011 + 0.002 * random.Uniform();
            v[i] = float(amplitude *
                         (0.8 * std::sin(phase * 6.283185307179586) + 0.2 * random.Uniform()));
        }
        return v;
    }

    static void RunDouble(HostedPlugin& plug, std::vector<double>& left, std::vector<double>& right,
                          std::vector<double>& out0, std::vector<double>& out1, int block) {
        const int n = int(left.size());
        for (int done = 0; done < n; done += block) {
            const int count = std::min(block, n - done);
            double* in[2] = {left.data() + done, right.data() + done};
            double* out[2] = {out0.data() + done, out1.data() + done};
            plug.Effect()->processDoubleReplacing(plug.Effect(), in, out, count);
        }
    }

    static double MaxDifference(const std::vector<double>& a, const std::vector<double>& b) {
        double worst = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            worst = std::max(worst, std::fabs(a[i] - b[i]));
        }
        return worst;
    }

    static PluginModule* module_;
};

PluginModule* HostedEffect::module_ = nullptr;

// Instances differ only in their noise tables (each refill continues the module's sequence),
// far below 1e-12; so paths are compared across instances with that tolerance.
TEST_F(HostedEffect, FloatDoubleInPlaceAndBlockSizesAgree) {
    TestRandom random(1);
    const int n = 20000;
    std::vector<double> left = Input(random, n, 0.6), right = Input(random, n, 0.3);
    for (int vortalizer = 0; vortalizer < 2; ++vortalizer) {
        auto reference = Make(48000);
        auto inPlace = Make(48000);
        auto oddBlocks = Make(48000);
        auto floats = Make(48000);
        for (HostedPlugin* p : {reference.get(), inPlace.get(), oddBlocks.get(), floats.get()}) {
            p->SetParameter(6, float(vortalizer));
            p->SetParameter(1, 0.8f);
        }
        std::vector<double> r0(n), r1(n);
        RunDouble(*reference, left, right, r0, r1, 512);

        std::vector<double> p0 = left, p1 = right;
        RunDouble(*inPlace, p0, p1, p0, p1, 512);
        EXPECT_LE(MaxDifference(p0, r0), 1e-12);
        EXPECT_LE(MaxDifference(p1, r1), 1e-12);

        std::vector<double> o0(n), o1(n);
        for (int done = 0, k = 0; done < n; ++k) {
            const int sizes[] = {1, 7, 333, 1000, 2};
            const int count = std::min(sizes[k % 5], n - done);
            std::vector<double> l(left.begin() + done, left.begin() + done + count);
            std::vector<double> r(right.begin() + done, right.begin() + done + count);
            std::vector<double> a(count), b(count);
            RunDouble(*oddBlocks, l, r, a, b, count);
            std::copy(a.begin(), a.end(), o0.begin() + done);
            std::copy(b.begin(), b.end(), o1.begin() + done);
            done += count;
        }
        EXPECT_LE(MaxDifference(o0, r0), 1e-12);
        EXPECT_LE(MaxDifference(o1, r1), 1e-12);

        std::vector<float> f0(left.begin(), left.end()), f1(right.begin(), right.end());
        for (int done = 0; done < n; done += 512) {
            float* io[2] = {f0.data() + done, f1.data() + done};
            floats->Effect()->processReplacing(floats->Effect(), io, io, std::min(512, n - done));
        }
        double peak = 0;
        for (int i = 0; i < n; ++i) {
            peak = std::max(peak, std::fabs(r0[i]));
            ASSERT_NEAR(f0[i], r0[i], std::fabs(r0[i]) * 6e-8 + 1e-12) << i;
            ASSERT_NEAR(f1[i], r1[i], std::fabs(r1[i]) * 6e-8 + 1e-12) << i;
        }
        EXPECT_GT(peak, 0.05); // a real, audible signal went through
    }
}

TEST_F(HostedEffect, MonoRunsTheLeftHalfOfTheStereoChain) {
    TestRandom random(2);
    const int n = 6000;
    std::vector<double> left = Input(random, n, 0.5), silent(n);
    auto stereo = Make(44100);
    auto mono = Make(44100);
    VstSpeakerArrangement one{};
    one.type = 0;
    one.numChannels = 1;
    mono->Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&one), &one);
    for (HostedPlugin* p : {stereo.get(), mono.get()}) {
        p->SetParameter(6, 1.0f);
    }
    std::vector<double> s0(n), s1(n), m(n);
    RunDouble(*stereo, left, silent, s0, s1, 256);
    for (int done = 0; done < n; done += 256) {
        double* in[2] = {left.data() + done, nullptr};
        double* out[2] = {m.data() + done, nullptr};
        mono->Effect()->processDoubleReplacing(mono->Effect(), in, out, std::min(256, n - done));
    }
    EXPECT_LE(MaxDifference(m, s0), 1e-12);

    // Effect off: the one input passes unchanged; in stereo both outputs are the sum.
    mono->SetParameter(5, 0.0f);
    stereo->SetParameter(5, 0.0f);
    // The binding slices long blocks over the AEffect's two channel slots: the unused one is null.
    double* in[2] = {left.data(), nullptr};
    double* out[2] = {m.data(), nullptr};
    mono->Effect()->processDoubleReplacing(mono->Effect(), in, out, n);
    EXPECT_EQ(m, left);
    RunDouble(*stereo, left, silent, s0, s1, n);
    EXPECT_EQ(s0, left);
    EXPECT_EQ(s1, left);
}

// The host's sample-rate request: a rate that is not a finite number above zero is ignored and
// the plug-in keeps running at the one it had.
TEST_F(HostedEffect, InvalidSampleRatesKeepThePreviousRate) {
    TestRandom random(3);
    const int n = 4000;
    std::vector<double> left = Input(random, n, 0.5), right = Input(random, n, 0.5);
    auto at48000 = Make(48000);
    std::vector<double> e0(n), e1(n);
    RunDouble(*at48000, left, right, e0, e1, 500);
    const float invalid[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), 0.0f, -44100.0f};
    for (float rate : invalid) {
        auto plug = Make(48000);
        plug->Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        plug->Dispatch(effMainsChanged, 0, 0);
        plug->Dispatch(effMainsChanged, 0, 1);
        std::vector<double> o0(n), o1(n);
        RunDouble(*plug, left, right, o0, o1, 500);
        EXPECT_LE(MaxDifference(o0, e0), 1e-12) << rate;
        EXPECT_LE(MaxDifference(o1, e1), 1e-12) << rate;
    }
    auto at44100 = Make(44100);
    std::vector<double> o0(n), o1(n);
    RunDouble(*at44100, left, right, o0, o1, 500);
    EXPECT_GT(MaxDifference(o0, e0), 1e-3); // the comparison can tell rates apart
}

// Loud input, every knob at its extreme, reverberation on: the output stays finite and bounded
// at every rate a host may use, including those where design frequencies pass half the rate.
TEST_F(HostedEffect, OutputIsFiniteAtEveryRate) {
    const double rates[] = {8000,  8700,  9000,  11025, 12000, 16000,  20000,  20500,  22050, 24000,
                            32000, 44100, 48000, 88200, 96000, 176400, 192000, 352800, 384000};
    TestRandom random(4);
    for (double rate : rates) {
        auto plug = Make(rate, 4096);
        for (int param = 0; param < 5; ++param) {
            plug->SetParameter(param, 1.0f);
        }
        plug->SetParameter(6, 1.0f);
        const int n = int(rate / 2);
        std::vector<double> left = Input(random, n, 1.0), right = Input(random, n, 1.0);
        std::vector<double> o0(n), o1(n);
        RunDouble(*plug, left, right, o0, o1, 4096);
        double peak = 0;
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(std::isfinite(o0[i]) && std::isfinite(o1[i])) << rate << " @" << i;
            peak = std::max(peak, std::max(std::fabs(o0[i]), std::fabs(o1[i])));
        }
        EXPECT_LT(peak, 100.0) << rate;
        EXPECT_GT(peak, 1e-3) << rate;
    }
}

// A host block longer than the noise table runs in one piece.
TEST_F(HostedEffect, BlocksLongerThanTheNoiseTable) {
    auto plug = Make(44100, 100000);
    TestRandom random(5);
    const int n = 100000;
    std::vector<double> left = Input(random, n, 0.5), right(n);
    std::vector<double> o0(n), o1(n);
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {o0.data(), o1.data()};
    plug->Effect()->processDoubleReplacing(plug->Effect(), in, out, n);
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(std::isfinite(o0[i]));
    }
    EXPECT_EQ(o0, o1);
}

} // namespace
