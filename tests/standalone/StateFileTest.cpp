// The settings file: where it lives, how it is written and what a bad one does.

#include "standalone/StateFile.h"
#include "HostTestSupport.h"
#include "effect/PlugExample.h"
#include "standalone/EmbeddedPlugin.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

class StateFileTest : public ::testing::Test {
protected:
    static std::unique_ptr<EmbeddedPlugin> NewPlugin() {
        std::string error;
        auto plugin = EmbeddedPlugin::Create(&error);
        EXPECT_TRUE(plugin) << error;
        plugin->Open(44100, 512);
        return plugin;
    }
    void TearDown() override { std::system(("rm -rf '" + dir.Path() + "'/*").c_str()); }
    TempDir dir;
};

// Restores an environment variable when the test ends.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        old_ = old ? old : "";
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    bool had_;
    std::string old_;
};

} // namespace

TEST_F(StateFileTest, LivesInTheXdgConfigFolderOrUnderHome) {
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/music/config");
        ScopedVariable home("HOME", "/home/player");
        EXPECT_EQ(DefaultStatePath(), "/music/config/kelvorantumix/state");
    }
    for (const char* unusable : {"", "relative/config"}) {
        ScopedVariable config("XDG_CONFIG_HOME", unusable);
        ScopedVariable home("HOME", "/home/player");
        EXPECT_EQ(DefaultStatePath(), "/home/player/.config/kelvorantumix/state") << unusable;
    }
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    ScopedVariable home("HOME", nullptr);
    EXPECT_EQ(DefaultStatePath(), "");
}

TEST_F(StateFileTest, SavedSettingsComeBackInANewPlugInAndNoTemporaryFileStays) {
    auto first = NewPlugin();
    first->SetParameter(PlugExample::kDrive, 0.8f);
    first->SetParameter(PlugExample::kEffect, 0.0f);
    first->SetParameter(PlugExample::kVortalizer, 1.0f);
    const std::string path = dir / "deep/er/kelvorantumix/state";
    std::string error;
    ASSERT_TRUE(SaveStateFile(*first, path, &error)) << error;
    EXPECT_EQ(dir.List(), std::vector<std::string>{"deep"});

    auto second = NewPlugin();
    EXPECT_EQ(LoadStateFile(*second, path, &error), StateLoad::kLoaded) << error;
    for (int i = 0; i < first->ParameterCount(); ++i) {
        EXPECT_EQ(second->Parameter(i), first->Parameter(i)) << first->ParameterName(i);
    }
    // Saving again replaces the file whole.
    second->SetParameter(PlugExample::kDrive, 0.25f);
    ASSERT_TRUE(SaveStateFile(*second, path, &error)) << error;
    auto third = NewPlugin();
    EXPECT_EQ(LoadStateFile(*third, path, &error), StateLoad::kLoaded) << error;
    EXPECT_NEAR(third->Parameter(PlugExample::kDrive), 0.25f, 1e-6);
    EXPECT_EQ(
        std::system(("test $(ls -A '" + dir / "deep/er/kelvorantumix" + "' | wc -l) = 1").c_str()),
        0);
}

TEST_F(StateFileTest, AMissingFileIsNoProblemAndABadOneLeavesTheSettingsAlone) {
    auto plugin = NewPlugin();
    plugin->SetParameter(PlugExample::kLevel, 0.3f);
    const std::vector<unsigned char> before = plugin->State();
    std::string problem;
    EXPECT_EQ(LoadStateFile(*plugin, dir / "absent", &problem), StateLoad::kMissing);

    std::vector<unsigned char> cut = before;
    cut.resize(before.size() - 1);
    std::vector<unsigned char> foreign = before;
    foreign[0] ^= 0xFF;
    const struct {
        std::string name;
        std::string bytes;
        std::string problem;
    } cases[] = {
        {"empty", "", "too short for a Kelvorantumix state (0 bytes of 64)"},
        {"cut", std::string(cut.begin(), cut.end()), "too short"},
        {"foreign", std::string(foreign.begin(), foreign.end()), "is not a Kelvorantumix state"},
        {"text", std::string(100, 'x'), "is not a Kelvorantumix state"},
    };
    for (const auto& bad : cases) {
        std::ofstream(dir / bad.name, std::ios::binary) << bad.bytes;
        problem.clear();
        EXPECT_EQ(LoadStateFile(*plugin, dir / bad.name, &problem), StateLoad::kRejected)
            << bad.name;
        EXPECT_NE(problem.find(bad.problem), std::string::npos) << bad.name << ": " << problem;
        EXPECT_NE(problem.find(dir / bad.name), std::string::npos) << problem;
        EXPECT_EQ(plugin->State(), before) << bad.name;
    }
    ASSERT_EQ(std::system(("mkdir '" + dir / "folder" + "'").c_str()), 0);
    EXPECT_EQ(LoadStateFile(*plugin, dir / "folder", &problem), StateLoad::kRejected);
    EXPECT_EQ(problem, "cannot read " + dir / "folder");
}

TEST_F(StateFileTest, AnUnwritableFolderIsReportedAndNothingIsLeftBehind) {
    auto plugin = NewPlugin();
    std::ofstream(dir / "file") << "in the way";
    std::string error;
    EXPECT_FALSE(SaveStateFile(*plugin, dir / "file/kelvorantumix/state", &error));
    EXPECT_NE(error.find("cannot create the folder " + dir / "file"), std::string::npos) << error;
    EXPECT_EQ(dir.List(), std::vector<std::string>{"file"});
}
