// The built module, loaded through its exported entry exactly as a DAW loads it.

#include "host/HostedPlugin.h"
#include "host/PluginModule.h"
#include "platform/DynamicLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

class Module : public testing::Test {
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
    std::unique_ptr<HostedPlugin> NewPlugin() {
        std::string error;
        auto plugin = HostedPlugin::Create(*module_, &error);
        EXPECT_NE(plugin, nullptr) << error;
        return plugin;
    }
    static PluginModule* module_;
};
PluginModule* Module::module_ = nullptr;

} // namespace

TEST_F(Module, FreshInstanceAnnouncesTheEffect) {
    auto plugin = NewPlugin();
    const AEffect* e = plugin->Effect();
    EXPECT_EQ(e->numParams, 7);
    EXPECT_EQ(e->numPrograms, 16);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->version, 10200);
    EXPECT_EQ(e->uniqueID, ('J' << 24) | ('m' << 16) | ('x' << 8) | '2');
    EXPECT_EQ(e->flags & ~effFlagsHasEditor, 0x1018);
    EXPECT_EQ(plugin->EffectName(), "Kelvorantumix");
    EXPECT_EQ(plugin->VendorName(), "wexmoradine");
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(plugin->ProgramName(i), "Init") << i;
    }
    const char* names[] = {"Level", "Drive", "Low", "Mid", "High", "Effect", "Vortalizer"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(plugin->ParamName(i), names[i]);
        EXPECT_EQ(plugin->ParamLabel(i), "");
    }
    EXPECT_EQ(plugin->ParamDisplay(0), "0.500");
    EXPECT_EQ(plugin->ParamDisplay(5), "On");
    EXPECT_EQ(plugin->ParamDisplay(6), "Off");
    EXPECT_EQ(plugin->Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstEvents")), 0);
}

TEST_F(Module, ChunkIsSixtyFourBytesAndRoundTrips) {
    auto plugin = NewPlugin();
    plugin->Open(44100.0, 256);
    plugin->SetParameter(1, 0.8f);
    plugin->SetParameter(6, 1.0f);
    const auto chunk = plugin->GetChunk(true);
    ASSERT_EQ(chunk.size(), 64u);
    EXPECT_EQ(std::vector<unsigned char>(chunk.begin(), chunk.begin() + 8),
              (std::vector<unsigned char>{0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0}));

    auto other = NewPlugin();
    other->Open(48000.0, 512);
    ASSERT_TRUE(other->SetChunk(chunk, true));
    EXPECT_FLOAT_EQ(other->GetParameter(1), 0.8f);
    EXPECT_EQ(other->ParamDisplay(6), "On");
    EXPECT_EQ(other->GetChunk(false), chunk);
}

TEST_F(Module, SelectingAnyProgramRestoresTheDefaults) {
    auto plugin = NewPlugin();
    plugin->Open(44100.0, 256);
    for (int i = 0; i < 7; ++i) {
        plugin->SetParameter(i, 0.9f);
    }
    plugin->Dispatch(effSetProgram, 0, 9);
    EXPECT_EQ(plugin->Dispatch(effGetProgram), 9);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(plugin->ParamDisplay(i), "0.500");
    }
    EXPECT_EQ(plugin->ParamDisplay(5), "On");
    EXPECT_EQ(plugin->ParamDisplay(6), "Off");
}

TEST_F(Module, ConcurrentInstancesAreIndependent) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int round = 0; round < 10; ++round) {
                std::string error;
                auto plugin = HostedPlugin::Create(*module_, &error);
                if (!plugin) {
                    ++failures[size_t(t)];
                    continue;
                }
                plugin->Open(44100.0, 64);
                plugin->SetParameter(0, float(t) / 4.0f);
                if (plugin->GetParameter(0) != float(t) / 4.0f) {
                    ++failures[size_t(t)];
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

TEST_F(Module, EntryIsAlsoExportedAsMain) {
    std::string error;
    DynamicLibrary* library = OpenDynamicLibrary(DefaultModulePath(), &error);
    ASSERT_NE(library, nullptr) << error;
    auto viaMain = reinterpret_cast<VstPluginMainProc>(FindLibrarySymbol(library, "main"));
    ASSERT_NE(viaMain, nullptr);
    AEffect* effect = viaMain(
        [](AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return 0; });
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    CloseDynamicLibrary(library);
}
