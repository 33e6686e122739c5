// State through the LV2 state interface: the VST module's chunk, byte for byte, both ways, and
// the CLAP plug-ins' state the same; blobs that are not such a chunk change nothing.

#include "Lv2Fixture.h"
#include "host/ClapHostedPlugin.h"

#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>

namespace {

class Lv2StateTest : public Lv2Fixture {
protected:
    static Controls Preset() { return {0.25f, 0.875f, 0.125f, 0.75f, 0.625f, 1.0f, 1.0f}; }

    // The LV2 instance's state after its control ports were set to controls.
    std::vector<std::uint8_t> Lv2Chunk(Lv2Instance& plugin, const Controls& controls) {
        for (int i = 0; i < kControlPorts; ++i) {
            plugin.SetControl(i, controls[std::size_t(i)]);
        }
        plugin.Run(0);
        const Lv2Instance::Saved saved = plugin.Save();
        EXPECT_EQ(saved.status, LV2_STATE_SUCCESS);
        EXPECT_EQ(saved.key, plugin.Map().Map(kStateKeyUri));
        EXPECT_EQ(saved.type, plugin.Map().Map(kStateTypeUri));
        return saved.bytes;
    }
};

} // namespace

TEST_F(Lv2StateTest, APresetMovesBetweenTheFormatsByteForByte) {
    auto vstPlugin = NewVst(512, Preset());
    const std::vector<std::uint8_t> fromVst = vstPlugin->GetChunk(false);
    ASSERT_EQ(fromVst.size(), 64u);

    for (const char* uri : {kStereoUri, kMonoUri}) {
        auto lv2 = NewLv2(uri);
        EXPECT_EQ(Lv2Chunk(*lv2, Preset()), fromVst) << uri;

        // The VST chunk restored into a fresh LV2 instance comes back out unchanged.
        auto restored = NewLv2(uri);
        const Lv2Instance::Saved before = restored->Save();
        ASSERT_EQ(
            restored->Restore(fromVst.data(), fromVst.size(), restored->Map().Map(kStateTypeUri)),
            LV2_STATE_SUCCESS);
        EXPECT_NE(restored->Save().bytes, before.bytes);
        EXPECT_EQ(restored->Save().bytes, fromVst) << uri;
    }

    // And the LV2 chunk loads in the VST module as its own.
    auto lv2 = NewLv2(kStereoUri);
    const std::vector<std::uint8_t> fromLv2 = Lv2Chunk(*lv2, Preset());
    auto fresh = NewVst(512, Defaults());
    ASSERT_TRUE(fresh->SetChunk(fromLv2, false));
    EXPECT_EQ(fresh->GetChunk(false), fromLv2);
}

TEST_F(Lv2StateTest, APresetMovesBetweenTheLv2AndClapPlugInsByteForByte) {
    const std::pair<const char*, const char*> pairs[] = {
        {kStereoUri, "com.wexmoradine.kelvorantumix"},
        {kMonoUri, "com.wexmoradine.kelvorantumix.mono-in"}};
    for (const auto& [uri, id] : pairs) {
        std::string error;
        const LoadedClapPlugin clap = LoadClapPlugin(KVX_CLAP_MODULE, id, &error);
        ASSERT_NE(clap.plugin, nullptr) << error;
        auto lv2 = NewLv2(uri);
        const std::vector<std::uint8_t> fromLv2 = Lv2Chunk(*lv2, Preset());

        // The LV2 state loads in the CLAP plug-in, through streams a few bytes a call.
        ASSERT_TRUE(clap.plugin->LoadState(fromLv2, 3)) << id;
        for (int i = 0; i < kControlPorts; ++i) {
            EXPECT_EQ(clap.plugin->ParamValue(i), double(Preset()[std::size_t(i)])) << id << i;
        }
        std::vector<std::uint8_t> fromClap;
        ASSERT_TRUE(clap.plugin->SaveState(&fromClap, 5));
        EXPECT_EQ(fromClap, fromLv2) << id;

        // And the CLAP plug-in's own state, its values set by the host, restores in LV2.
        const LoadedClapPlugin fresh = LoadClapPlugin(KVX_CLAP_MODULE, id, &error);
        ASSERT_NE(fresh.plugin, nullptr) << error;
        for (int i = 0; i < kControlPorts; ++i) {
            fresh.plugin->SetParameter(i, Preset()[std::size_t(i)]);
        }
        std::vector<std::uint8_t> clapState;
        ASSERT_TRUE(fresh.plugin->SaveState(&clapState, 1));
        EXPECT_EQ(clapState, fromLv2) << id;
        auto restored = NewLv2(uri);
        ASSERT_EQ(restored->Restore(clapState.data(), clapState.size(),
                                    restored->Map().Map(kStateTypeUri)),
                  LV2_STATE_SUCCESS);
        EXPECT_EQ(restored->Save().bytes, clapState) << uri;
    }
}

TEST_F(Lv2StateTest, ARestoredPresetSoundsAsTheVstModuleWithItsSettings) {
    const Stereo in = Signal(4000);
    // Instances made in lockstep in both modules, so both hear the same noise.
    auto lv2 = NewLv2(kStereoUri);
    auto vstPlugin = NewVst(1024, Preset());
    const std::vector<std::uint8_t> preset = vstPlugin->GetChunk(false);
    // The host's ports stay at the defaults: the restored state holds until a control moves.
    for (int i = 0; i < kControlPorts; ++i) {
        lv2->SetControl(i, Defaults()[std::size_t(i)]);
    }
    ASSERT_EQ(lv2->Restore(preset.data(), preset.size(), lv2->Map().Map(kStateTypeUri)),
              LV2_STATE_SUCCESS);
    const std::vector<int> runs = Runs(in.left.size(), {700});
    const Stereo fromLv2 = RenderLv2(*lv2, false, Defaults(), in, runs, false);
    const Stereo fromVst = RenderVst(*vstPlugin, false, in, runs);
    EXPECT_EQ(fromLv2.left, fromVst.left);
    EXPECT_EQ(fromLv2.right, fromVst.right);

    // Then a control the host moves applies over it.
    lv2->SetControl(1, 0.0f);
    lv2->Run(0);
    EXPECT_EQ(ValuesInChunk(lv2->Save().bytes)[1], 0.0);
}

TEST_F(Lv2StateTest, BlobsThatAreNotTheChunkAreRefusedAndChangeNothing) {
    const std::vector<std::uint8_t> good = NewVst(512, Preset())->GetChunk(false);
    auto lv2 = NewLv2(kStereoUri);
    const LV2_URID chunkType = lv2->Map().Map(kStateTypeUri);
    const std::vector<std::uint8_t> before = lv2->Save().bytes;

    std::vector<std::uint8_t> badMagic = good;
    badMagic[0] ^= 0xFF;
    std::vector<std::uint8_t> badVersion = good;
    badVersion[5] ^= 0x01;
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    const std::vector<std::uint8_t> shorter(good.begin(), good.end() - 1);
    const std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 8);
    const std::uint8_t empty[1] = {};
    struct Blob {
        const char* what;
        const void* data;
        std::size_t size;
        LV2_URID type;
    };
    const Blob blobs[] = {
        {"short", shorter.data(), shorter.size(), chunkType},
        {"header only", headerOnly.data(), headerOnly.size(), chunkType},
        {"long", longer.data(), longer.size(), chunkType},
        {"empty", empty, 0, chunkType},
        {"foreign type", good.data(), good.size(), lv2->Map().Map(LV2_ATOM__Chunk)},
        {"untyped", good.data(), good.size(), 0},
        {"another magic", badMagic.data(), badMagic.size(), chunkType},
        {"another version", badVersion.data(), badVersion.size(), chunkType},
        {"nothing under the key", nullptr, 0, chunkType},
    };
    for (const Blob& blob : blobs) {
        EXPECT_NE(lv2->Restore(blob.data, blob.size, blob.type), LV2_STATE_SUCCESS) << blob.what;
        EXPECT_EQ(lv2->Save().bytes, before) << blob.what;
    }
}

TEST_F(Lv2StateTest, ValuesOutsideTheirRangesInAChunkAreKeptInRange) {
    std::vector<std::uint8_t> chunk = NewVst(512, Preset())->GetChunk(false);
    const double values[] = {NAN, INFINITY, -INFINITY, 5.0, -2.0, 0.5, 1e300};
    std::memcpy(chunk.data() + 8, values, sizeof values);
    auto lv2 = NewLv2(kStereoUri);
    const std::vector<double> before = ValuesInChunk(lv2->Save().bytes);
    ASSERT_EQ(lv2->Restore(chunk.data(), chunk.size(), lv2->Map().Map(kStateTypeUri)),
              LV2_STATE_SUCCESS);
    const std::vector<double> after = ValuesInChunk(lv2->Save().bytes);
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(after[0], before[0]) << "not a number keeps the value";
    EXPECT_EQ(after[1], 1.0);
    EXPECT_EQ(after[2], 0.0);
    EXPECT_EQ(after[3], 1.0);
    EXPECT_EQ(after[4], 0.0);
    EXPECT_EQ(after[5], 0.5) << "a switch between its values is stored as given";
    EXPECT_EQ(after[6], 1.0);
}

TEST_F(Lv2StateTest, WithoutUridMapThereIsNoStateAndThePlugInStillRuns) {
    HostOffer bare;
    bare.map = false;
    bare.options = false;
    auto lv2 = NewLv2(kStereoUri, bare);
    ASSERT_TRUE(lv2->Valid());
    EXPECT_EQ(lv2->Save().status, LV2_STATE_ERR_NO_FEATURE);
    const std::vector<std::uint8_t> chunk = NewVst(512, Preset())->GetChunk(false);
    EXPECT_EQ(lv2->Restore(chunk.data(), chunk.size(), 1), LV2_STATE_ERR_NO_FEATURE);
    const Stereo in = Signal(3000);
    const Stereo out = RenderLv2(*lv2, false, Defaults(), in, Runs(3000, {3000}), false);
    EXPECT_NE(out.left, in.left);
    for (float sample : out.left) {
        ASSERT_TRUE(std::isfinite(sample));
    }
}
