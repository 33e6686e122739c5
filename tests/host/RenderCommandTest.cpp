// kvx-host render, run as a user runs it: through the test gain plug-in, whose output is known,
// and through Kelvorantumix.

#include "HostTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>

namespace {

const std::string kGain = KVX_GAIN_MODULE;

class RenderTest : public ::testing::Test {
protected:
    // Writes a 16-bit WAV test signal as in.wav and returns it.
    Sound Input(int channels, std::size_t frames, int rate = 44100) {
        const Sound sound = TestSignal(channels, rate, frames);
        WriteSound(dir / "in.wav", sound, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        return sound;
    }
    HostRun Render(std::vector<std::string> args, std::vector<std::string> environment = {}) {
        args.insert(args.begin(), "render");
        return RunHost(args, dir.Path(), environment);
    }
    // Expects a failed render that says why and leaves the folder as it was.
    void ExpectFailure(const std::vector<std::string>& args, const std::string& reason) {
        const std::vector<std::string> before = dir.List();
        const HostRun run = Render(args);
        EXPECT_GT(run.exitCode, 0) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(dir.List(), before);
    }
    TempDir dir;
};

TEST_F(RenderTest, GainPlugInReproducesTheInputFramesAndChannels) {
    for (int channels : {1, 2}) {
        const Sound in = Input(channels, 5000);
        for (const char* block : {"512", "64", "1000"}) {
            const HostRun run =
                Render({kGain, "-i", "in.wav", "-o", "out.wav", "--tail", "0", "--block", block});
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const Sound out = ReadSound(dir / "out.wav");
            EXPECT_EQ(out.channels, channels);
            EXPECT_EQ(out.rate, 44100);
            EXPECT_EQ(out.samples, in.samples) << channels << " channels, block " << block;
        }
    }
}

TEST_F(RenderTest, DrivesThePlugInAsADawDoes) {
    Input(1, 1000, 48000);
    const std::string log = dir / "calls.log";
    const HostRun run = Render(
        {kGain, "-i", "in.wav", "-o", "out.wav", "--block", "256", "--tail", "0.01", "--double"},
        {"KVX_TEST_LOG=" + log});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // 1000 frames and a 480-frame tail: full blocks but the last, at contiguous positions.
    const std::vector<std::string> expected = {"open",
                                               "rate 48000",
                                               "block 256",
                                               "arrangement 1 1",
                                               "mains 1",
                                               "processDouble 256 at 0",
                                               "processDouble 256 at 256",
                                               "processDouble 256 at 512",
                                               "processDouble 256 at 768",
                                               "processDouble 256 at 1024",
                                               "processDouble 200 at 1280",
                                               "mains 0",
                                               "close"};
    EXPECT_EQ(ReadLines(log), expected);
    EXPECT_EQ(ReadSound(dir / "out.wav").Frames(), 1480u);
}

TEST_F(RenderTest, DefaultTailIsOneSecondOfTheEffectRingingOut) {
    const Sound in = Input(2, 3000);
    ASSERT_EQ(Render({kGain, "-i", "in.wav"}).exitCode, 0);
    // The default name is the input's and the plug-in's, in the current folder.
    const Sound out = ReadSound(dir / "in-test-gain.wav");
    ASSERT_EQ(out.Frames(), 3000u + 44100u);
    EXPECT_TRUE(std::equal(in.samples.begin(), in.samples.end(), out.samples.begin()));
    for (std::size_t i = in.samples.size(); i < out.samples.size(); ++i) {
        ASSERT_EQ(out.samples[i], 0.0);
    }
}

TEST_F(RenderTest, SetsParametersByNameIndexValueAndDisplayText) {
    const Sound in = Input(2, 2000);
    const auto render = [&](std::vector<std::string> sets) {
        std::vector<std::string> args = {kGain, "-i", "in.wav", "-o", "out.wav", "--tail", "0"};
        for (const std::string& set : sets) {
            args.insert(args.end(), {"--set", set});
        }
        const HostRun run = Render(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return ReadSound(dir / "out.wav");
    };
    Sound out = render({"gain=0.25"});
    for (std::size_t i = 0; i < in.samples.size(); ++i) {
        ASSERT_EQ(out.samples[i], float(0.5 * in.samples[i]));
    }
    out = render({"0=1.50", "ROUTE=swap"});
    for (std::size_t f = 0; f < in.Frames(); ++f) {
        ASSERT_EQ(out.At(f, 0), float(1.5 * in.At(f, 1)));
        ASSERT_EQ(out.At(f, 1), float(1.5 * in.At(f, 0)));
    }
    out = render({"Mute=On"});
    EXPECT_EQ(out.samples, std::vector<double>(in.samples.size(), 0.0));
}

TEST_F(RenderTest, WritesAndReadsEveryFormatByItsExtension) {
    const Sound in = Input(2, 4000);
    for (const char* name : {"out.flac", "out.aiff", "out.AIF", "out.ogg"}) {
        const HostRun run = Render({kGain, "-i", "in.wav", "-o", name, "--tail", "0"});
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
        // Each output then serves as input: the formats read back.
        ASSERT_EQ(Render({kGain, "-i", name, "-o", "again.wav", "--tail", "0"}).exitCode, 0);
        const Sound out = ReadSound(dir / "again.wav");
        ASSERT_EQ(out.samples.size(), in.samples.size()) << name;
        double error = 0.0;
        for (std::size_t i = 0; i < in.samples.size(); ++i) {
            error = std::max(error, std::fabs(out.samples[i] - in.samples[i]));
        }
        // Lossless formats are exact; Vorbis is close.
        EXPECT_LE(error, std::string(name) == "out.ogg" ? 0.05 : 0.0) << name;
    }
}

TEST_F(RenderTest, RefusesBadFilesWithAClearMessageAndWritesNothing) {
    Input(2, 100);
    ExpectFailure({kGain, "-i", "missing.wav"}, "cannot read missing.wav: No such file");
    ExpectFailure({kGain, "-i", "."}, "it is a folder");
    std::ofstream(dir / "notes.wav") << "not audio at all, just some words in a text file";
    ExpectFailure({kGain, "-i", "notes.wav", "-o", "out.wav"}, "not an audio file");
    ExpectFailure({kGain, "-i", "in.wav", "-o", "out.mp3"}, "unsupported output format");
    ExpectFailure({kGain, "-i", "in.wav", "-o", "no/such/folder/out.wav"}, "cannot write");
    ExpectFailure({kGain, "-i", "in.wav", "-o", "in.wav"}, "is the input file");
    ExpectFailure({kGain, "-i", "in.wav", "--rate", "48000"}, "does not resample");
    WriteSound(dir / "three.wav", TestSignal(3, 44100, 100), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ExpectFailure({kGain, "-i", "three.wav"}, "renders mono and stereo files");
}

TEST_F(RenderTest, RefusesModulesThatAreNoPlugInsWithoutCrashing) {
    Input(1, 100);
    std::ofstream(dir / "broken.so") << std::string(200, 'x');
    ExpectFailure({dir / "broken.so"}, "cannot load " + (dir / "broken.so") + ": ");
    ExpectFailure({dir / "broken.so"}, "invalid ELF header");
    ExpectFailure({dir / "absent.so"}, "No such file");
    ExpectFailure({"in.wav"}, "invalid ELF header (to render an audio file, give it with -i)");
    ExpectFailure({KVX_NOENTRY_MODULE}, "exports neither VSTPluginMain nor main");
    ExpectFailure({KVX_BADMAGIC_MODULE}, "without the VstP magic");
}

TEST_F(RenderTest, RefusesUnknownParametersAndValuesOutOfRange) {
    Input(1, 100);
    ExpectFailure({kGain, "-i", "in.wav", "--set", "Volume=0.5"},
                  "unknown parameter 'Volume'; the parameters are Gain, Mute, Route (or an index "
                  "from 0 to 2)");
    ExpectFailure({kGain, "-i", "in.wav", "--set", "3=0.5"}, "unknown parameter '3'");
    ExpectFailure({kGain, "-i", "in.wav", "--set", "Gain=2.5"},
                  "Gain=2.5 is out of range: give a normalized value from 0 to 1 or a value it "
                  "displays (0.00 to 2.00 x)");
    ExpectFailure({kGain, "-i", "in.wav", "--set", "Mute=maybe"}, "displays (Off, On)");
    for (const char* bad : {"--block=0", "--rate=abc", "--tail=-1", "--loud", "--set=Gain"}) {
        const HostRun run = Render({kGain, "-i", "in.wav", bad});
        EXPECT_EQ(run.exitCode, 2) << bad;
        EXPECT_NE(run.err.find("usage: kvx-host render"), std::string::npos) << bad;
    }
}

TEST_F(RenderTest, AnInterruptedOrCrashedRenderLeavesNoFileBehind) {
    Input(2, 44100);
    HostRun run = Render({kGain, "-i", "in.wav", "-o", "out.wav"}, {"KVX_TEST_SIGNAL_AT=20000:2"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("interrupted; nothing was written to out.wav"), std::string::npos);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"in.wav"});
    run = Render({kGain, "-i", "in.wav", "-o", "out.wav"}, {"KVX_TEST_SIGNAL_AT=20000:11"});
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"in.wav"});
}

TEST_F(RenderTest, BuiltInRiffThroughKelvorantumixIsDeterministicAndSummarized) {
    const HostRun run = Render({});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Sound first = ReadSound(dir / "kelvorantumix-riff.wav");
    EXPECT_EQ(first.channels, 2);
    EXPECT_EQ(first.rate, 44100);
    EXPECT_GT(first.Frames(), 44100u * 5);
    // The summary tells where the file is, with its full path.
    for (const std::string& part :
         {std::string("built-in riff"), std::string("peak -6.02 dBFS"), std::string("x real time"),
          "wrote " + (dir / "kelvorantumix-riff.wav")}) {
        EXPECT_NE(run.out.find(part), std::string::npos) << part << " in\n" << run.out;
    }
    // stderr is no terminal here: no progress bar.
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(Render({"-o", "again.wav"}).exitCode, 0);
    EXPECT_EQ(ReadSound(dir / "again.wav").samples, first.samples);
    ASSERT_EQ(Render({"-o", "fast.wav", "--rate", "96000"}).exitCode, 0);
    EXPECT_EQ(ReadSound(dir / "fast.wav").rate, 96000);
}

TEST_F(RenderTest, KelvorantumixWithEffectOffGivesThePlainSumOfTheInputs) {
    const Sound stereo = Input(2, 6000);
    ASSERT_EQ(Render({"-i", "in.wav", "-o", "on.wav", "--tail", "0"}).exitCode, 0);
    if (ReadSound(dir / "on.wav").samples == stereo.samples) {
        GTEST_SKIP() << "Kelvorantumix passes audio through unchanged: its effect is not built yet";
    }
    for (int channels : {1, 2}) {
        const Sound in = Input(channels, 6000);
        const HostRun run = Render({"-i", "in.wav", "-o", "out.wav", "--set", "Effect=Off"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Sound out = ReadSound(dir / "out.wav");
        ASSERT_EQ(out.channels, channels);
        for (std::size_t f = 0; f < in.Frames(); ++f) {
            const double sum = channels == 1 ? in.At(f, 0) : in.At(f, 0) + in.At(f, 1);
            for (int c = 0; c < channels; ++c) {
                ASSERT_NEAR(out.At(f, c), sum, 1e-6) << "frame " << f << " of " << channels;
            }
        }
    }
}

TEST_F(RenderTest, KelvorantumixFloatAndDoublePathsAgreeToFloatPrecision) {
    Input(2, 20000);
    for (const char* vortalizer : {"Off", "On"}) {
        const std::string set = std::string("Vortalizer=") + vortalizer;
        ASSERT_EQ(Render({"-i", "in.wav", "-o", "f.wav", "--set", set}).exitCode, 0);
        ASSERT_EQ(Render({"-i", "in.wav", "-o", "d.wav", "--set", set, "--double"}).exitCode, 0);
        const Sound floats = ReadSound(dir / "f.wav");
        const Sound doubles = ReadSound(dir / "d.wav");
        ASSERT_EQ(floats.samples.size(), doubles.samples.size());
        for (std::size_t i = 0; i < floats.samples.size(); ++i) {
            ASSERT_NEAR(floats.samples[i], doubles.samples[i],
                        1e-6 * std::max(1.0, std::fabs(doubles.samples[i])))
                << "sample " << i << " with " << set;
        }
    }
}

#ifdef KVX_CLAP_MODULE
TEST_F(RenderTest, KelvorantumixClapRendersSampleForSampleAsTheVstModule) {
    // Settings a float carries exactly, so the VST module's normalized floats and the CLAP
    // module's plain doubles name the same values.
    const std::vector<std::string> sets = {"--set", "Drive=0.75", "--set", "Level=0.625",
                                           "--set", "Low=0.25",   "--set", "Vortalizer=On"};
    const auto render = [&](const std::string& output, std::vector<std::string> args) {
        args.insert(args.end(), {"-o", output});
        args.insert(args.end(), sets.begin(), sets.end());
        const HostRun run = Render(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return ReadSound(dir / output);
    };
    const std::string clap = KVX_CLAP_MODULE;
    for (const char* block : {"512", "67"}) {
        // The riff, stereo, through the stereo plug-in.
        const Sound vst = render("vst.wav", {"--block", block});
        const Sound viaClap =
            render("clap.wav", {"--block", block, clap, "--id", "com.wexmoradine.kelvorantumix"});
        ASSERT_GT(vst.Frames(), 44100u);
        EXPECT_EQ(viaClap.samples, vst.samples) << "block " << block;
    }
    // A mono file through the mono-in plug-in, and the VST module's mono arrangement.
    Input(1, 30000);
    const Sound vst = render("vst.wav", {"-i", "in.wav", "--double"});
    const Sound viaClap = render("clap.wav", {"-i", "in.wav", "--double", clap, "--id",
                                              "com.wexmoradine.kelvorantumix.mono-in"});
    EXPECT_EQ(viaClap.channels, 1);
    EXPECT_EQ(viaClap.samples, vst.samples);
}

TEST_F(RenderTest, ClapModulesWithSeveralPlugInsWantAnId) {
    Input(2, 100);
    ExpectFailure({KVX_CLAP_MODULE, "-i", "in.wav"},
                  "holds several plug-ins; choose one with --id: com.wexmoradine.kelvorantumix, "
                  "com.wexmoradine.kelvorantumix.mono-in");
    ExpectFailure({KVX_CLAP_MODULE, "--id", "com.example.none", "-i", "in.wav"},
                  "has no plug-in com.example.none");
    ExpectFailure(
        {KVX_CLAP_MODULE, "--id", "com.wexmoradine.kelvorantumix.mono-in", "-i", "in.wav"},
        "has 1 inputs and 2 outputs, too few for the stereo input");
    ExpectFailure({kGain, "--id", "x", "-i", "in.wav"}, "--id chooses among the plug-ins");
}
#endif

} // namespace
