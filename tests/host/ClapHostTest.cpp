// kvx-host's CLAP side, through a small test plug-in that checks the host keeps the interface's
// rules (threads, event order, streams) and whose output is known.

#include "HostTestSupport.h"
#include "host/ClapHostedPlugin.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

const std::string kClapGain = KVX_CLAP_GAIN_MODULE;

// Lines of the test plug-in's log that say the host broke a rule.
std::vector<std::string> Breaches(const std::vector<std::string>& log) {
    std::vector<std::string> found;
    for (const std::string& line : log) {
        if (line.find("wrong thread") != std::string::npos ||
            line.find("out of order") != std::string::npos ||
            line.find(" port ") != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

class ClapHostTest : public ::testing::Test {
protected:
    TempDir dir;
};

} // namespace

TEST_F(ClapHostTest, RendersThroughAClapPlugInAsADawDrivesIt) {
    const Sound in = TestSignal(2, 44100, 3000);
    WriteSound(dir / "in.wav", in, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::string log = dir / "calls.log";
    const HostRun run = RunHost({"render", kClapGain, "-i", "in.wav", "-o", "out.wav", "--set",
                                 "Gain=0.25", "--block", "256", "--tail", "0"},
                                dir.Path(), {"KVX_TEST_LOG=" + log});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Sound out = ReadSound(dir / "out.wav");
    ASSERT_EQ(out.samples.size(), in.samples.size());
    for (std::size_t i = 0; i < in.samples.size(); ++i) {
        ASSERT_EQ(out.samples[i], float(0.5 * float(in.samples[i]))) << i;
    }
    // The setting goes in through flush while inactive, then one activation for the render.
    const std::vector<std::string> expected = {"init",
                                               "flush 1 events",
                                               "activate 44100 1 256",
                                               "start_processing",
                                               "process 256 frames",
                                               "stop_processing",
                                               "deactivate",
                                               "destroy"};
    EXPECT_EQ(ReadLines(log), expected);

    // A value given as the text the plug-in displays.
    ASSERT_EQ(RunHost({"render", kClapGain, "-i", "in.wav", "-o", "out.wav", "--set", "Gain=1.50 x",
                       "--tail", "0"},
                      dir.Path())
                  .exitCode,
              0);
    EXPECT_EQ(ReadSound(dir / "out.wav").At(100, 1), float(1.5 * float(in.At(100, 1))));

    const HostRun info = RunHost({"info", kClapGain}, dir.Path());
    EXPECT_EQ(info.exitCode, 0) << info.err;
    for (const char* part : {"org.kvx-test.gain", "Test Gain", "audio-effect, utility, stereo",
                             "2 in, 2 out", "Gain", "\"1.00 x\"", "0..2, default 1"}) {
        EXPECT_NE(info.out.find(part), std::string::npos) << part << " in\n" << info.out;
    }
}

TEST_F(ClapHostTest, RendersOtherMakersClapPlugInsAsTheirVstModules) {
    // Debian's zam-plugins ship each plug-in in both formats, the same DSP behind each; they are
    // 64-bit modules, which a 32-bit kvx-host cannot load. ZamComp has a side-chain input.
    std::vector<std::string> zams;
    for (const char* zam : {"ZamComp", "ZamTube", "ZamEQ2"}) {
        const std::string clap = std::string("/usr/lib/clap/") + zam + ".clap";
        const std::string vst = std::string("/usr/lib/vst/") + zam + "-vst.so";
        if (sizeof(void*) == 8 && access(clap.c_str(), R_OK) == 0 &&
            access(vst.c_str(), R_OK) == 0) {
            zams.push_back(zam);
        }
    }
    if (zams.empty()) {
        GTEST_SKIP() << "no zam-plugins of this word size";
    }
    const Sound in = TestSignal(1, 48000, 6000);
    WriteSound(dir / "in.wav", in, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    for (const std::string& zam : zams) {
        const HostRun clap = RunHost({"render", "/usr/lib/clap/" + zam + ".clap", "-i", "in.wav",
                                      "-o", "clap.wav", "--block", "100", "--tail", "0.1"},
                                     dir.Path());
        ASSERT_EQ(clap.exitCode, 0) << zam << clap.err;
        const HostRun vst = RunHost({"render", "/usr/lib/vst/" + zam + "-vst.so", "-i", "in.wav",
                                     "-o", "vst.wav", "--block", "100", "--tail", "0.1"},
                                    dir.Path());
        ASSERT_EQ(vst.exitCode, 0) << zam << vst.err;
        const Sound fromClap = ReadSound(dir / "clap.wav");
        const Sound fromVst = ReadSound(dir / "vst.wav");
        EXPECT_EQ(fromClap.samples, fromVst.samples) << zam;
        double peak = 0.0;
        for (double sample : fromClap.samples) {
            peak = std::max(peak, std::fabs(sample));
        }
        EXPECT_GT(peak, 0.01) << zam << " rendered silence";
    }
}

TEST_F(ClapHostTest, RefusesFilesThatAreNoClapModules) {
    std::ofstream(dir / "broken.clap") << std::string(100, 'x');
    HostRun run = RunHost({"info", dir / "broken.clap"}, dir.Path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("invalid ELF header"), std::string::npos) << run.err;
    // A VST 2.x module under a CLAP name.
    std::ifstream vst(KVX_GAIN_MODULE, std::ios::binary);
    std::ofstream(dir / "vst.clap", std::ios::binary) << vst.rdbuf();
    run = RunHost({"info", dir / "vst.clap"}, dir.Path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("not a CLAP module: it exports no clap_entry"), std::string::npos)
        << run.err;
    run = RunHost({"render", kClapGain, "--id", "org.kvx-test.none", "--tail", "0"}, dir.Path());
    EXPECT_NE(run.err.find("has no plug-in org.kvx-test.none; it offers org.kvx-test.gain"),
              std::string::npos)
        << run.err;
}

TEST_F(ClapHostTest, SortsEventsAndSendsThemOnTheAudioThread) {
    const std::string log = dir / "calls.log";
    setenv("KVX_TEST_LOG", log.c_str(), 1);
    std::string error;
    auto loaded = LoadClapPlugin(kClapGain, "", &error);
    ASSERT_NE(loaded.plugin, nullptr) << error;
    ClapHostedPlugin& plugin = *loaded.plugin;
    ASSERT_TRUE(plugin.Activate(48000.0, 128));
    ASSERT_TRUE(plugin.StartProcessing());
    std::vector<double> left(128, 1.0), right(128, -1.0), outLeft(128), outRight(128);
    double* in[] = {left.data(), right.data()};
    double* out[] = {outLeft.data(), outRight.data()};
    // Given out of order; the plug-in must see them sorted, each at its frame.
    plugin.Process(in, out, 128, {{100, 0, 0.0}, {10, 0, 0.5}, {50, 0, 2.0}});
    for (int i = 0; i < 128; ++i) {
        const double gain = i < 10 ? 1.0 : i < 50 ? 0.5 : i < 100 ? 2.0 : 0.0;
        ASSERT_EQ(outLeft[size_t(i)], gain) << i;
        ASSERT_EQ(outRight[size_t(i)], -gain) << i;
    }
    loaded.plugin.reset();
    unsetenv("KVX_TEST_LOG");
    EXPECT_EQ(Breaches(ReadLines(log)), std::vector<std::string>{});
}

TEST_F(ClapHostTest, StateGoesThroughStreamsInSmallPieces) {
    const std::string log = dir / "calls.log";
    setenv("KVX_TEST_LOG", log.c_str(), 1);
    std::string error;
    auto loaded = LoadClapPlugin(kClapGain, "", &error);
    ASSERT_NE(loaded.plugin, nullptr) << error;
    ClapHostedPlugin& plugin = *loaded.plugin;
    plugin.SetParameter(0, 0.75f);
    std::vector<std::uint8_t> state;
    ASSERT_TRUE(plugin.SaveState(&state, 5));
    EXPECT_EQ(state.size(), 8u);
    plugin.SetParameter(0, 0.0f);
    ASSERT_TRUE(plugin.LoadState(state, 3));
    EXPECT_EQ(plugin.ParamValue(0), 1.5);
    // A stream that fails after four bytes.
    EXPECT_FALSE(plugin.LoadState(state, 3, 4));
    loaded.plugin.reset();
    unsetenv("KVX_TEST_LOG");
    const std::vector<std::string> expected = {"init",          "flush 1 events", "state write 5",
                                               "state write 3", "flush 1 events", "state read 3",
                                               "state read 3",  "state read 2",   "state read 3",
                                               "state read 1",  "state read -1",  "destroy"};
    EXPECT_EQ(ReadLines(log), expected);
}

TEST_F(ClapHostTest, ValidatorPassesASoundPlugInOfAnotherMakerAndKeepsTheRules) {
    const std::string log = dir / "calls.log";
    const HostRun run =
        RunHost({"validate", kClapGain, "--skip-editor"}, dir.Path(), {"KVX_TEST_LOG=" + log});
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out.find("FAIL"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" passed, 0 failed"), std::string::npos) << run.out;
    EXPECT_EQ(Breaches(ReadLines(log)), std::vector<std::string>{});
}

TEST_F(ClapHostTest, ChunkCommandSavesAndLoadsAClapPlugInsState) {
    ASSERT_EQ(RunHost({"chunk", "save", kClapGain, "-o", "gain.state"}, dir.Path()).exitCode, 0);
    std::ifstream saved(dir / "gain.state", std::ios::binary);
    double gain = 0.0;
    saved.read(reinterpret_cast<char*>(&gain), sizeof gain);
    EXPECT_EQ(gain, 1.0);
    gain = 0.25;
    std::ofstream(dir / "quiet.state", std::ios::binary)
        .write(reinterpret_cast<const char*>(&gain), sizeof gain);
    const HostRun load = RunHost({"chunk", "load", kClapGain, "-i", "quiet.state"}, dir.Path());
    EXPECT_EQ(load.exitCode, 0) << load.err;
    EXPECT_EQ(load.out, "Gain=0.25 x\n");
    std::ofstream(dir / "short.state") << "abc";
    const HostRun refused = RunHost({"chunk", "load", kClapGain, "-i", "short.state"}, dir.Path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("refused the state"), std::string::npos) << refused.err;
}

TEST_F(ClapHostTest, FiresTimersAndReadyFileDescriptorsOnTheMainThread) {
    const std::string log = dir / "calls.log";
    setenv("KVX_TEST_LOG", log.c_str(), 1);
    std::string error;
    auto loaded = LoadClapPlugin(kClapGain, "", &error);
    ASSERT_NE(loaded.plugin, nullptr) << error;
    for (int i = 0; i < 10; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        loaded.plugin->Pump();
    }
    loaded.plugin.reset();
    unsetenv("KVX_TEST_LOG");
    // The 10 ms timer fires within the 50 ms, and the pipe's one byte is read, in either order.
    const std::vector<std::string> lines = ReadLines(log);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "init");
    EXPECT_EQ(lines.back(), "destroy");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "timer"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "pipe k"), 1);
}
