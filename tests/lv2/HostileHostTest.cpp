// What careless or hostile LV2 hosts do: controls outside their ranges or not numbers at all,
// ports that do not exist, buffers missing, options of the wrong shape, absurd sample rates.

#include "Lv2Fixture.h"
#include "plugin/IPlugLV2.h"

#include <lv2/atom/atom.h>

#include <cmath>
#include <limits>

namespace {

using Lv2HostileHostTest = Lv2Fixture;

bool AllFinite(const std::vector<float>& samples) {
    for (float sample : samples) {
        if (!std::isfinite(sample)) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST_F(Lv2HostileHostTest, ControlsAtNanInfinityAndOutOfRangeKeepTheParametersInRange) {
    auto lv2 = NewLv2(kStereoUri);
    const Stereo in = Signal(256);
    Stereo io = in;
    for (int i = 0; i < kControlPorts; ++i) {
        lv2->SetControl(i, Defaults()[std::size_t(i)]);
    }
    lv2->Connect(7, io.left.data());
    lv2->Connect(8, io.right.data());
    lv2->Connect(9, io.left.data());
    lv2->Connect(10, io.right.data());
    lv2->Activate();
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             2.5f,
                             -3.0f,
                             1e30f,
                             -1e-40f,
                             0.7f};
    for (float value : hostile) {
        for (int port = 0; port < kControlPorts; ++port) {
            const std::vector<double> before = ValuesInChunk(lv2->Save().bytes);
            lv2->SetControl(port, value);
            io = in;
            lv2->Run(256);
            const std::vector<double> after = ValuesInChunk(lv2->Save().bytes);
            ASSERT_EQ(after.size(), 7u);
            for (int i = 0; i < kControlPorts; ++i) {
                EXPECT_TRUE(after[std::size_t(i)] >= 0.0 && after[std::size_t(i)] <= 1.0)
                    << "port " << port << " at " << value << ": parameter " << i << " is "
                    << after[std::size_t(i)];
            }
            if (std::isnan(value)) {
                EXPECT_EQ(after, before) << "not a number changes nothing";
            }
            if (port >= 5) {
                EXPECT_TRUE(after[std::size_t(port)] == 0.0 || after[std::size_t(port)] == 1.0)
                    << "a switch is off or on";
            }
            EXPECT_TRUE(AllFinite(io.left) && AllFinite(io.right)) << port << " at " << value;
        }
    }
}

TEST_F(Lv2HostileHostTest, UnknownPortsAreIgnoredAndMissingBuffersAreSilence) {
    for (const char* uri : {kStereoUri, kMonoUri}) {
        const bool mono = uri == kMonoUri;
        auto lv2 = NewLv2(uri);
        std::vector<float> canary(64, 3.0f);
        for (std::uint32_t port : {mono ? 10u : 11u, 12u, 1000u, 0xFFFFFFFFu}) {
            lv2->Connect(port, canary.data());
        }
        for (int i = 0; i < kControlPorts; ++i) {
            lv2->SetControl(i, Defaults()[std::size_t(i)]);
        }
        lv2->Activate();
        // Nothing connected to the audio ports at all, then inputs missing, then outputs.
        lv2->Run(64);
        std::vector<float> left(64, 0.25f), right(64, 0.25f);
        const std::uint32_t firstOutput = mono ? 8 : 9;
        lv2->Connect(firstOutput, left.data());
        lv2->Connect(firstOutput + 1, right.data());
        lv2->Run(64);
        EXPECT_TRUE(AllFinite(left) && AllFinite(right)) << uri;
        EXPECT_LT(std::fabs(left[63]), 1e-6f) << "silence in gives silence out";
        lv2->Connect(7, left.data());
        lv2->Connect(firstOutput, nullptr);
        lv2->Connect(firstOutput + 1, nullptr);
        lv2->Run(64);
        lv2->Deactivate();
        EXPECT_EQ(canary, std::vector<float>(64, 3.0f)) << uri;
    }
}

TEST_F(Lv2HostileHostTest, BlockLengthOptionsOfTheWrongShapeFallBackToTheBindingsOwn) {
    const Stereo in = Signal(3000);
    const float floatFrames = 256.0f;
    const std::int32_t negative = -5;
    const std::int32_t absurd = 1 << 30;
    const std::int64_t wide = 256;
    struct Case {
        const char* what;
        const char* type;
        std::uint32_t size;
        const void* value;
    };
    const Case cases[] = {
        {"a float", LV2_ATOM__Float, sizeof floatFrames, &floatFrames},
        {"negative", LV2_ATOM__Int, sizeof negative, &negative},
        {"beyond any buffer", LV2_ATOM__Int, sizeof absurd, &absurd},
        {"a long", LV2_ATOM__Int, sizeof wide, &wide},
        {"no value", LV2_ATOM__Int, 4, nullptr},
    };
    for (const Case& c : cases) {
        HostOffer offer;
        offer.rawBlockOption = true;
        offer.rawTypeUri = c.type;
        offer.rawSize = c.size;
        offer.rawValue = c.value;
        auto lv2 = NewLv2(kStereoUri, offer);
        auto vstPlugin = NewVst(IPlugLV2::kDefaultBlockSize, Defaults());
        ASSERT_TRUE(lv2->Valid()) << c.what;
        const std::vector<int> runs = Runs(in.left.size(), {3000});
        const Stereo fromLv2 = RenderLv2(*lv2, false, Defaults(), in, runs, false);
        const Stereo fromVst = RenderVst(*vstPlugin, false, in, runs);
        EXPECT_EQ(fromLv2.left, fromVst.left) << c.what;
    }
}

TEST_F(Lv2HostileHostTest, SampleRatesNoInterfaceRunsAtKeepTheDefaultRate) {
    for (double rate : {0.0, -48000.0, std::nan(""), 1e12}) {
        auto lv2 = NewLv2(kStereoUri, {}, rate);
        ASSERT_TRUE(lv2->Valid()) << rate;
        const Stereo out =
            RenderLv2(*lv2, false, Defaults(), Signal(2000), Runs(2000, {500}), true);
        EXPECT_TRUE(AllFinite(out.left) && AllFinite(out.right)) << rate;
    }
}
