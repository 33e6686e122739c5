#include "TestPlug.h"
#include "plugin/HostLookup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

TEST(HostLookup, FirstTableEntryFoundInTheLowerCasedProductWins) {
    EXPECT_EQ(LookUpHost("REAPER"), kHostReaper);
    EXPECT_EQ(LookUpHost("Nuendo"), kHostNuendo);
    EXPECT_EQ(LookUpHost("Cubase and Nuendo"), kHostCubase);
    EXPECT_EQ(LookUpHost("Nuendo, not Cubase"), kHostCubase);
    EXPECT_EQ(LookUpHost("Express Delivery"), kHostAbletonLive);
    EXPECT_EQ(LookUpHost("Adobe Audition"), kHostAudition);
    EXPECT_EQ(LookUpHost("Digital Performer"), kHostDigitalPerformer);
    EXPECT_EQ(LookUpHost("Bitwig Studio"), kHostUnknown);
    EXPECT_EQ(LookUpHost(""), kHostUnknown);
    EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
    EXPECT_EQ(LookUpHost(std::string(255, 'x').append("reaper").c_str()), kHostUnknown)
        << "only the first 255 characters are searched";
}

namespace {
class HostIdentification : public testing::Test {
protected:
    void SetUp() override { HostCallLog::Instance().Clear(); }
};
} // namespace

TEST_F(HostIdentification, AskedOnceOnOpenWithThePackedVersion) {
    HostCallLog::Instance().product = "Cubase";
    HostCallLog::Instance().vendorVersion = 70002;
    TestPlug plug;
    EXPECT_EQ(plug.IPlugBase::HostCode(), kHostNotAsked);
    plug.Dispatch(effOpen);
    EXPECT_EQ(plug.HostCode(), kHostCubase);
    EXPECT_EQ(plug.HostVersion(), (7 << 16) | (0 << 8) | 2);
    plug.HostCode();
    plug.Dispatch(effOpen);
    EXPECT_EQ(HostCallLog::Instance().With(audioMasterGetProductString).size(), 1u);
    EXPECT_EQ(HostCallLog::Instance().With(audioMasterGetVendorVersion).size(), 1u);
}

TEST_F(HostIdentification, SilentHostIsUnknownAndNotAskedForAVersion) {
    TestPlug plug;
    EXPECT_EQ(plug.HostCode(), kHostUnknown);
    EXPECT_EQ(plug.HostVersion(), 0);
    EXPECT_TRUE(HostCallLog::Instance().With(audioMasterGetVendorVersion).empty());
}

TEST_F(HostIdentification, TwoChannelWorkaroundForTheHostsThatNeedIt) {
    for (const char* product : {"Audition", "Forte", "Orion", "SAWStudio", "Reaper"}) {
        HostCallLog::Instance().Clear();
        HostCallLog::Instance().product = product;
        TestPlug::Options options;
        options.channelConfigs = "4-4";
        TestPlug plug(options);
        plug.ConnectOutputs(3, 1, false);
        plug.Dispatch(effOpen);
        const bool limited = std::string(product) != "Reaper";
        EXPECT_EQ(plug.IsInputConnected(3), !limited) << product;
        EXPECT_EQ(plug.IsOutputConnected(3), limited) << product;
        VstSpeakerArrangement* in = nullptr;
        VstSpeakerArrangement* out = nullptr;
        plug.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
        EXPECT_EQ(in->numChannels, 4) << product;
        EXPECT_EQ(plug.Effect()->numOutputs, 4) << product;
    }
}

TEST_F(HostIdentification, AVersionOutsideZeroToInt32MaxIsUnknown) {
    std::vector<VstIntPtr> garbage = {-1, -10000, -2147483647 - 1, VstIntPtr(INTPTR_MIN)};
    if (sizeof(VstIntPtr) > 4) {
        garbage.push_back(VstIntPtr(INTPTR_MAX));
        garbage.push_back(VstIntPtr(INTPTR_MAX / 3));
    }
    for (VstIntPtr answer : garbage) {
        HostCallLog::Instance().Clear();
        HostCallLog::Instance().product = "REAPER";
        HostCallLog::Instance().vendorVersion = answer;
        TestPlug plug;
        EXPECT_EQ(plug.HostCode(), kHostReaper) << answer;
        EXPECT_EQ(plug.HostVersion(), 0) << answer;
    }
    // The largest version still packs, its major number keeping the low 16 bits it fits.
    HostCallLog::Instance().vendorVersion = 2147483647;
    TestPlug plug;
    EXPECT_EQ(plug.HostCode(), kHostReaper);
    EXPECT_EQ(plug.HostVersion() & 0xFFFF, (36 << 8) | 47);
    EXPECT_EQ(std::uint32_t(plug.HostVersion()) >> 16, 214748u & 0xFFFF);
}
