// Kelvorantumix.clap, hosted through its clap_entry as a CLAP host does, against the VST 2.x
// module of the same build.

#include "host/ClapHostedPlugin.h"
#include "host/HostedPlugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kStereoId[] = "com.wexmoradine.kelvorantumix";
const char kMonoInId[] = "com.wexmoradine.kelvorantumix.mono-in";
enum { kLevel = 0, kDrive = 1, kLow = 2, kMid = 3, kEffect = 5, kVortalizer = 6 };

class ClapPlugIn : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        module_ = ClapModule::Load(KVX_CLAP_MODULE, &error).release();
        ASSERT_NE(module_, nullptr) << error;
    }
    static void TearDownTestSuite() {
        delete module_;
        module_ = nullptr;
    }
    static std::unique_ptr<ClapHostedPlugin> NewPlugin(const char* id = kStereoId) {
        std::string error;
        auto plugin = ClapHostedPlugin::Create(*module_, id, &error);
        EXPECT_NE(plugin, nullptr) << error;
        return plugin;
    }
    static ClapModule* module_;
};
ClapModule* ClapPlugIn::module_ = nullptr;

// Planar float buffers with the pointer arrays a process call takes.
struct Block {
    Block(int inputs, int outputs, int frames, float level)
        : in(size_t(inputs), std::vector<float>(size_t(frames), level)),
          out(size_t(outputs), std::vector<float>(size_t(frames), 0.0f)) {
        for (auto& c : in) {
            inPointers.push_back(c.data());
        }
        for (auto& c : out) {
            outPointers.push_back(c.data());
        }
    }
    std::vector<std::vector<float>> in, out;
    std::vector<float*> inPointers, outPointers;
};

ClapHostEvent Change(std::uint32_t time, clap_id param, double value) {
    ClapHostEvent e;
    e.time = time;
    e.paramId = param;
    e.value = value;
    return e;
}

} // namespace

TEST_F(ClapPlugIn, OffersTheStereoAndTheMonoInPlugInWithTheirFeatures) {
    const auto descriptors = module_->Descriptors();
    ASSERT_EQ(descriptors.size(), 2u);
    const char* const expected[][4] = {{"audio-effect", "distortion", "stereo", nullptr},
                                       {"audio-effect", "distortion", "mono", nullptr}};
    for (size_t d = 0; d < 2; ++d) {
        EXPECT_STREQ(descriptors[d]->id, d == 0 ? kStereoId : kMonoInId);
        EXPECT_STREQ(descriptors[d]->vendor, "wexmoradine");
        EXPECT_STREQ(descriptors[d]->version, "1.2.0");
        for (int f = 0; f < 4; ++f) {
            EXPECT_STREQ(descriptors[d]->features[f], expected[d][f]) << d << " " << f;
        }
    }
    auto stereo = NewPlugin(kStereoId);
    auto mono = NewPlugin(kMonoInId);
    EXPECT_EQ(stereo->InputChannels(), 2);
    EXPECT_EQ(stereo->OutputChannels(), 2);
    EXPECT_EQ(mono->InputChannels(), 1);
    EXPECT_EQ(mono->OutputChannels(), 2);
    const clap_plugin_factory* factory = module_->Factory();
    EXPECT_EQ(factory->get_plugin_descriptor(factory, 2), nullptr);
    std::string error;
    EXPECT_EQ(ClapHostedPlugin::Create(*module_, "com.wexmoradine.nothing", &error), nullptr);
}

TEST_F(ClapPlugIn, ParametersCarryTheEffectsNamesRangesDefaultsAndSteps) {
    auto plugin = NewPlugin();
    ASSERT_EQ(plugin->NumParams(), 7);
    const char* names[] = {"Level", "Drive", "Low", "Mid", "High", "Effect", "Vortalizer"};
    const double defaults[] = {0.5, 0.5, 0.5, 0.5, 0.5, 1.0, 0.0};
    for (int i = 0; i < 7; ++i) {
        const clap_param_info& info = plugin->ParamInfos()[size_t(i)];
        EXPECT_EQ(info.id, clap_id(i));
        EXPECT_STREQ(info.name, names[i]);
        EXPECT_EQ(info.min_value, 0.0);
        EXPECT_EQ(info.max_value, 1.0);
        EXPECT_EQ(info.default_value, defaults[i]);
        EXPECT_EQ(plugin->ParamValue(i), defaults[i]);
        EXPECT_EQ(info.flags, i >= kEffect ? 0x10021u : 0x20u) << names[i];
    }
}

TEST_F(ClapPlugIn, TextsAreTheVstModulesDisplayTextsBothWays) {
    auto clap = NewPlugin();
    std::string error;
    const LoadedPlugin vst = LoadPlugin(DefaultModulePath(), &error);
    ASSERT_NE(vst.plugin, nullptr) << error;
    vst.plugin->Open(44100.0, 512);
    const clap_plugin* p = clap->Plugin();
    for (int i = 0; i < 7; ++i) {
        for (float normalized : {0.0f, 0.125f, 0.25f, 0.5f, 0.75f, 1.0f}) {
            vst.plugin->SetParameter(i, normalized);
            const std::string shown = vst.plugin->ParamDisplay(i);
            const double plain = clap->PlainOf(i, normalized);
            EXPECT_EQ(clap->ValueText(i, plain), shown) << i << " at " << normalized;
            double back = -1.0;
            ASSERT_TRUE(clap->Params()->text_to_value(p, clap_id(i), shown.c_str(), &back));
            EXPECT_EQ(clap->ValueText(i, back), shown);
        }
    }
    double value = 0.0;
    EXPECT_TRUE(clap->Params()->text_to_value(p, kEffect, "Off", &value));
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(clap->Params()->text_to_value(p, kDrive, " 0.25 ", &value));
    EXPECT_EQ(value, 0.25);
    EXPECT_TRUE(clap->Params()->text_to_value(p, kDrive, "7", &value));
    EXPECT_EQ(value, 1.0);
    for (const char* bad : {"", "loud", "0.5x", "nan"}) {
        EXPECT_FALSE(clap->Params()->text_to_value(p, kDrive, bad, &value)) << bad;
    }
    EXPECT_FALSE(clap->Params()->text_to_value(p, 99, "0.5", &value));
    char small[4];
    ASSERT_TRUE(clap->Params()->value_to_text(p, kDrive, 0.5, small, sizeof small));
    EXPECT_STREQ(small, "0.5");
}

TEST_F(ClapPlugIn, AnEventInsideABlockLandsOnItsFrame) {
    // With the effect off the output is the plain sum of the inputs: 0.5 from two 0.25s.
    for (std::uint32_t frame : {1u, 100u, 255u, 511u}) {
        auto plugin = NewPlugin();
        plugin->SetParameter(kEffect, 0.0f);
        ASSERT_TRUE(plugin->Activate(44100.0, 512));
        ASSERT_TRUE(plugin->StartProcessing());
        Block block(2, 2, 512, 0.25f);
        plugin->Process(block.inPointers.data(), block.outPointers.data(), 512,
                        {Change(frame, kEffect, 1.0)});
        for (std::uint32_t i = 0; i < frame; ++i) {
            ASSERT_EQ(block.out[0][i], 0.5f) << "frame " << i << ", change at " << frame;
        }
        EXPECT_NE(block.out[0][frame], 0.5f) << "change at " << frame;
        EXPECT_EQ(plugin->ParamValue(kEffect), 1.0);
    }
}

TEST_F(ClapPlugIn, EventsInsideABlockSoundAsBlocksSplitThere) {
    // Several changes in one call, unsorted as given (the host sorts them), against the same
    // audio cut into calls at those frames with each change at the start of its call.
    const std::vector<ClapHostEvent> events = {Change(300, kDrive, 0.9), Change(40, kLevel, 0.8),
                                               Change(40, kLow, 0.1), Change(301, kVortalizer, 1),
                                               Change(500, kEffect, 0.0)};
    const std::uint32_t cuts[] = {0, 40, 300, 301, 500, 512};
    auto whole = NewPlugin();
    auto split = NewPlugin();
    for (auto* plugin : {whole.get(), split.get()}) {
        ASSERT_TRUE(plugin->Activate(48000.0, 512));
        ASSERT_TRUE(plugin->StartProcessing());
    }
    Block a(2, 2, 512, 0.0f), b(2, 2, 512, 0.0f);
    for (int i = 0; i < 512; ++i) {
        a.in[0][size_t(i)] = b.in[0][size_t(i)] = float(i % 37) / 40.0f - 0.45f;
        a.in[1][size_t(i)] = b.in[1][size_t(i)] = float(i % 23) / 30.0f - 0.35f;
    }
    whole->Process(a.inPointers.data(), a.outPointers.data(), 512, events);
    for (size_t c = 0; c + 1 < std::size(cuts); ++c) {
        std::vector<ClapHostEvent> here;
        for (const ClapHostEvent& e : events) {
            if (e.time == cuts[c]) {
                here.push_back(Change(0, e.paramId, e.value));
            }
        }
        std::vector<float*> in = {b.in[0].data() + cuts[c], b.in[1].data() + cuts[c]};
        std::vector<float*> out = {b.out[0].data() + cuts[c], b.out[1].data() + cuts[c]};
        split->Process(in.data(), out.data(), cuts[c + 1] - cuts[c], here);
    }
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(whole->ParamValue(kDrive), 0.9);
    EXPECT_EQ(whole->ParamValue(kEffect), 0.0);
}

TEST_F(ClapPlugIn, MonoInSoundsAsTheStereoPlugInWithASilentRightInput) {
    // The Vortalizer on, where the two sides differ.
    auto stereo = NewPlugin(kStereoId);
    auto mono = NewPlugin(kMonoInId);
    Block a(2, 2, 2000, 0.0f), b(1, 2, 2000, 0.0f);
    for (size_t i = 0; i < 2000; ++i) {
        a.in[0][i] = b.in[0][i] = float(std::sin(0.05 * double(i)) * std::exp(-0.001 * double(i)));
    }
    for (auto* plugin : {stereo.get(), mono.get()}) {
        plugin->SetParameter(kVortalizer, 1.0f);
        plugin->SetParameter(kDrive, 0.75f);
        ASSERT_TRUE(plugin->Activate(48000.0, 256));
        ASSERT_TRUE(plugin->StartProcessing());
    }
    for (std::uint32_t at = 0; at < 2000; at += 250) {
        std::vector<float*> inA = {a.in[0].data() + at, a.in[1].data() + at};
        std::vector<float*> outA = {a.out[0].data() + at, a.out[1].data() + at};
        std::vector<float*> inB = {b.in[0].data() + at};
        std::vector<float*> outB = {b.out[0].data() + at, b.out[1].data() + at};
        stereo->Process(inA.data(), outA.data(), 250);
        mono->Process(inB.data(), outB.data(), 250);
    }
    // Each instance draws its own share of the module's noise floor, far below any signal.
    for (size_t c = 0; c < 2; ++c) {
        for (size_t i = 0; i < 2000; ++i) {
            ASSERT_NEAR(b.out[c][i], a.out[c][i], 1e-9) << "channel " << c << " frame " << i;
        }
    }
    EXPECT_NE(a.out[0], a.out[1]);
}

TEST_F(ClapPlugIn, HostileEventsAreClampedDroppedOrIgnored) {
    auto plugin = NewPlugin();
    plugin->Flush({Change(0, kDrive, 5.0), Change(0, kLevel, -3.0), Change(0, kLow, 0.3),
                   Change(0, kLow, std::nan("")), Change(0, kEffect, 0.7), Change(0, 7, 0.1),
                   Change(0, CLAP_INVALID_ID, 0.1)});
    EXPECT_EQ(plugin->ParamValue(kDrive), 1.0);
    EXPECT_EQ(plugin->ParamValue(kLevel), 0.0);
    EXPECT_EQ(plugin->ParamValue(kLow), 0.3);
    // A stepped value is cut to its step.
    EXPECT_EQ(plugin->ParamValue(kEffect), 0.0);
    ClapHostEvent otherSpace = Change(0, kMid, 0.9);
    otherSpace.space = 7;
    ClapHostEvent note = Change(0, kMid, 0.9);
    note.type = CLAP_EVENT_NOTE_ON;
    plugin->Flush({otherSpace, note});
    EXPECT_EQ(plugin->ParamValue(kMid), 0.5);
}

TEST_F(ClapPlugIn, StateMovesByteForByteBetweenTheVstAndClapModules) {
    std::string error;
    const LoadedPlugin vst = LoadPlugin(DefaultModulePath(), &error);
    ASSERT_NE(vst.plugin, nullptr) << error;
    vst.plugin->Open(44100.0, 512);
    const float values[] = {0.125f, 0.8125f, 0.0f, 1.0f, 0.3671875f, 0.0f, 1.0f};
    for (int i = 0; i < 7; ++i) {
        vst.plugin->SetParameter(i, values[i]);
    }
    const std::vector<unsigned char> vstChunk = vst.plugin->GetChunk(true);
    ASSERT_EQ(vstChunk.size(), 64u);

    for (const char* id : {kStereoId, kMonoInId}) {
        auto clap = NewPlugin(id);
        // The host's streams move a few bytes at a time.
        ASSERT_TRUE(clap->LoadState({vstChunk.begin(), vstChunk.end()}, 3));
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(clap->ParamValue(i), double(values[i])) << i;
        }
        std::vector<std::uint8_t> saved;
        ASSERT_TRUE(clap->SaveState(&saved, 5));
        EXPECT_EQ(std::vector<unsigned char>(saved.begin(), saved.end()), vstChunk);
    }

    auto clap = NewPlugin();
    clap->Flush({Change(0, kDrive, 0.625), Change(0, kVortalizer, 1.0)});
    std::vector<std::uint8_t> clapState;
    ASSERT_TRUE(clap->SaveState(&clapState, 1));
    ASSERT_TRUE(vst.plugin->SetChunk({clapState.begin(), clapState.end()}, true));
    EXPECT_EQ(vst.plugin->ParamDisplay(kDrive), "0.625");
    EXPECT_EQ(vst.plugin->ParamDisplay(kVortalizer), "On");
    EXPECT_EQ(vst.plugin->GetChunk(true),
              std::vector<unsigned char>(clapState.begin(), clapState.end()));
}

TEST_F(ClapPlugIn, BrokenOrForeignStateChangesNothing) {
    auto plugin = NewPlugin();
    plugin->Flush({Change(0, kDrive, 0.75)});
    std::vector<std::uint8_t> good;
    ASSERT_TRUE(plugin->SaveState(&good));
    plugin->Flush({Change(0, kDrive, 0.25)});
    std::vector<std::vector<std::uint8_t>> bad = {{}, {good.begin(), good.begin() + 63}};
    auto wrongMagic = good;
    wrongMagic[0] ^= 1;
    bad.push_back(wrongMagic);
    auto outOfRange = good;
    const double big = 2.0;
    std::memcpy(outOfRange.data() + 8 + 8 * kDrive, &big, sizeof big);
    bad.push_back(outOfRange);
    for (const auto& blob : bad) {
        EXPECT_FALSE(plugin->LoadState(blob));
        EXPECT_EQ(plugin->ParamValue(kDrive), 0.25);
    }
    // A stream that fails half-way, reading or writing.
    EXPECT_FALSE(plugin->LoadState(good, 7, 30));
    EXPECT_EQ(plugin->ParamValue(kDrive), 0.25);
    std::vector<std::uint8_t> partial;
    EXPECT_FALSE(plugin->SaveState(&partial, 7, 30));
    EXPECT_TRUE(plugin->LoadState(good, 1));
    EXPECT_EQ(plugin->ParamValue(kDrive), 0.75);
}

TEST_F(ClapPlugIn, ChangesFromProcessReachTheMainThreadThroughItsCallback) {
    auto plugin = NewPlugin();
    ASSERT_TRUE(plugin->Activate(44100.0, 64));
    ASSERT_TRUE(plugin->StartProcessing());
    Block block(2, 2, 64, 0.1f);
    plugin->Process(block.inPointers.data(), block.outPointers.data(), 64,
                    {Change(10, kVortalizer, 1.0)});
    // get_value answers at once; the state written on the main thread holds it too.
    EXPECT_EQ(plugin->ParamValue(kVortalizer), 1.0);
    plugin->Pump();
    std::vector<std::uint8_t> state;
    ASSERT_TRUE(plugin->SaveState(&state));
    double saved = 0.0;
    std::memcpy(&saved, state.data() + 8 + 8 * kVortalizer, sizeof saved);
    EXPECT_EQ(saved, 1.0);
    EXPECT_TRUE(plugin->ThreadViolations().empty());
}

TEST_F(ClapPlugIn, ActivatesAtEveryRateAndProcessesAnyCallUpToTheMaximum) {
    for (double rate : {8000.0, 44100.0, 384000.0}) {
        for (std::uint32_t maxFrames : {1u, 17u, 4096u, 3000000u}) {
            auto plugin = NewPlugin(kMonoInId);
            ASSERT_TRUE(plugin->Activate(rate, maxFrames)) << rate << " " << maxFrames;
            ASSERT_TRUE(plugin->StartProcessing());
            const std::uint32_t frames = maxFrames < 5000 ? maxFrames : 5000;
            Block block(1, 2, int(frames), 0.5f);
            EXPECT_EQ(plugin->Process(block.inPointers.data(), block.outPointers.data(), frames),
                      CLAP_PROCESS_CONTINUE);
            // The mono input feeds both sides.
            EXPECT_EQ(block.out[0], block.out[1]);
            plugin->StopProcessing();
            plugin->Deactivate();
        }
    }
    auto plugin = NewPlugin();
    EXPECT_FALSE(plugin->Activate(0.0, 512));
    EXPECT_FALSE(plugin->Activate(std::nan(""), 512));
    EXPECT_TRUE(plugin->Activate(48000.0, 512));
}
