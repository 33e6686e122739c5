// kvx-host preset save and load, and render --preset, run as a user runs them: Kelvorantumix,
// the test modules (one with parameters only, one that keeps a chunk) and, where Debian's
// zam-plugins are installed, other makers' plug-ins without chunks.

#include "HostTestSupport.h"

#include "host/HostedPlugin.h"
#include "host/PresetExchange.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

const std::string kGain = KVX_GAIN_MODULE;
const std::string kBiquad = KVX_BIQUAD_MODULE;

std::vector<unsigned char> FileBytes(const std::string& path) {
    const std::string text = ReadText(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}

void PutBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The big-endian fields of a hand-made file.
void Int(std::vector<unsigned char>* to, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        to->push_back((unsigned char)(v >> shift));
    }
}
void Text(std::vector<unsigned char>* to, const char* text, std::size_t size) {
    const std::size_t n = std::strlen(text);
    to->insert(to->end(), text, text + n);
    to->insert(to->end(), size - n, 0);
}
void Float(std::vector<unsigned char>* to, float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    Int(to, v);
}

class PresetTest : public ::testing::Test {
protected:
    HostRun Host(std::vector<std::string> args) { return RunHost(args, dir.Path()); }
    HostRun Save(const std::string& plugin, const std::string& file,
                 std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"preset", "save", "-o", file};
        if (!plugin.empty()) {
            args.push_back(plugin);
        }
        args.insert(args.end(), more.begin(), more.end());
        return Host(args);
    }
    HostRun Load(const std::string& plugin, const std::string& file) {
        std::vector<std::string> args = {"preset", "load", "-i", file};
        if (!plugin.empty()) {
            args.push_back(plugin);
        }
        return Host(args);
    }
    // The NAME=DISPLAY lines a load prints. An empty plug-in path means Kelvorantumix.
    std::vector<std::string> Loaded(const std::string& plugin, const std::string& file) {
        const HostRun run = Load(plugin, file);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> lines;
        std::size_t at = run.out.find('\n');
        while (at != std::string::npos && at + 1 < run.out.size()) {
            const std::size_t end = run.out.find('\n', at + 1);
            lines.push_back(run.out.substr(at + 1, end - at - 1));
            at = end;
        }
        return lines;
    }
    std::vector<std::string> Defaults(const std::string& plugin) {
        Save(plugin, "defaults.fxp");
        return Loaded(plugin, "defaults.fxp");
    }
    void ExpectLoadFails(const std::string& plugin, const std::string& file,
                         const std::string& reason) {
        const HostRun run = Load(plugin, file);
        EXPECT_EQ(run.exitCode, 1) << file;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    TempDir dir;
};

TEST_F(PresetTest, KelvorantumixRoundTripsThroughEveryForm) {
    const std::vector<std::string> changed = {"Level=0.300",  "Drive=0.800", "Low=0.200",
                                              "Mid=0.500",    "High=0.650",  "Effect=On",
                                              "Vortalizer=On"};
    const std::vector<std::string> sets = {"--set", "Level=0.3",     "--set",  "Drive=0.8",
                                           "--set", "Low=0.2",       "--set",  "High=0.65",
                                           "--set", "Vortalizer=On", "--name", "Lead"};
    const std::vector<std::string> defaults = Defaults("");
    EXPECT_NE(defaults, changed);
    for (const char* form : {"chunk", "params"}) {
        for (const char* name : {"k.fxp", "k.fxb"}) {
            std::vector<std::string> more = sets;
            more.insert(more.end(), {"--form", form});
            const HostRun saved = Save("", name, more);
            ASSERT_EQ(saved.exitCode, 0) << saved.err;
            const bool chunk = std::string(form) == "chunk";
            const bool bank = std::string(name) == "k.fxb";
            const char* magic = bank ? (chunk ? "FBCh" : "FxBk") : (chunk ? "FPCh" : "FxCk");
            const std::vector<unsigned char> bytes = FileBytes(dir / name);
            ASSERT_GE(bytes.size(), 12u);
            EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), magic);
            EXPECT_NE(saved.out.find(magic), std::string::npos) << saved.out;
            EXPECT_EQ(Loaded("", name), changed) << name << " as " << form;
            // The program's name travels with it.
            const std::string loaded = Load("", name).out;
            if (!bank) {
                EXPECT_NE(loaded.find("program 'Lead'"), std::string::npos) << loaded;
            }
        }
    }
    // Kelvorantumix keeps chunks without announcing them, so its presets default to values.
    ASSERT_EQ(Save("", "plain.fxp").exitCode, 0);
    const std::vector<unsigned char> plain = FileBytes(dir / "plain.fxp");
    EXPECT_EQ(std::string(plain.begin() + 8, plain.begin() + 12), "FxCk");
}

TEST_F(PresetTest, SavedFilesMatchFilesWrittenByHand) {
    ASSERT_EQ(Save(kGain, "gain.fxp", {"--set", "Gain=0.25", "--set", "Route=Swap"}).exitCode, 0);
    std::vector<unsigned char> program;
    Text(&program, "CcnK", 4);
    Int(&program, 48 + 12);
    Text(&program, "FxCk", 4);
    Int(&program, 1);
    Text(&program, "KvGa", 4);
    Int(&program, 2);
    Int(&program, 3);
    Text(&program, "", 28); // the gain module names no programs
    for (float value : {0.25f, 0.0f, float(1.5 / 3.0)}) {
        Float(&program, value);
    }
    const std::vector<unsigned char> saved = FileBytes(dir / "gain.fxp");
    ASSERT_EQ(saved.size(), program.size());
    // The route's value is the middle of the values that show "Swap".
    std::vector<unsigned char> route(saved.end() - 4, saved.end());
    float shown;
    const std::uint32_t bits = std::uint32_t(route[0]) << 24 | std::uint32_t(route[1]) << 16 |
                               std::uint32_t(route[2]) << 8 | route[3];
    std::memcpy(&shown, &bits, 4);
    EXPECT_NEAR(shown, 0.5f, 0.01f);
    program.resize(program.size() - 4);
    Float(&program, shown);
    EXPECT_EQ(saved, program);

    ASSERT_EQ(Save(kGain, "gain.fxb", {"--set", "Gain=0.25"}).exitCode, 0);
    std::vector<unsigned char> bank;
    Text(&bank, "CcnK", 4);
    Int(&bank, 148 + 68);
    Text(&bank, "FxBk", 4);
    Int(&bank, 2);
    Text(&bank, "KvGa", 4);
    Int(&bank, 2);
    Int(&bank, 1);
    Int(&bank, 0); // the current program
    bank.insert(bank.end(), 124, 0);
    std::vector<unsigned char> inner(program.begin(), program.end() - 8);
    Float(&inner, 0.0f);
    Float(&inner, 0.0f);
    bank.insert(bank.end(), inner.begin(), inner.end());
    EXPECT_EQ(FileBytes(dir / "gain.fxb"), bank);

    // The biquad module announces chunks: its own 16 bytes, wrapped as a chunk program.
    ASSERT_EQ(Save(kBiquad, "eq.fxp", {"--set", "Gain=1", "--name", "Bright"}).exitCode, 0);
    std::vector<unsigned char> chunk;
    Text(&chunk, "CcnK", 4);
    Int(&chunk, 48 + 4 + 16);
    Text(&chunk, "FPCh", 4);
    Int(&chunk, 1);
    Text(&chunk, "KvBq", 4);
    Int(&chunk, 3);
    Int(&chunk, 3);
    Text(&chunk, "Bright", 28);
    Int(&chunk, 16);
    Text(&chunk, "KvBq", 4);
    for (float value : {0.5f, 1.0f, 0.5f}) {
        const unsigned char* raw = reinterpret_cast<const unsigned char*>(&value);
        chunk.insert(chunk.end(), raw, raw + 4);
    }
    EXPECT_EQ(FileBytes(dir / "eq.fxp"), chunk);
    EXPECT_EQ(Loaded(kBiquad, "eq.fxp"),
              (std::vector<std::string>{"Freq=632.46", "Gain=24.00", "Q=1.41"}));
}

TEST_F(PresetTest, PlugInsWithoutChunksRoundTripTheirParameterValues) {
    std::vector<std::string> modules = {kGain};
    // Debian's zam-plugins are 64-bit modules: a 32-bit kvx-host cannot load them.
    for (const char* zam : {"ZamEQ2", "ZamComp", "ZamTube", "ZamDelay"}) {
        const std::string path = std::string("/usr/lib/vst/") + zam + "-vst.so";
        if (sizeof(void*) == 8 && access(path.c_str(), R_OK) == 0) {
            modules.push_back(path);
        }
    }
    if (modules.size() == 1) {
        std::fprintf(stderr, "no zam-plugins of this word size: only the test module is tried\n");
    }
    for (const std::string& module : modules) {
        const std::vector<std::string> defaults = Defaults(module);
        ASSERT_FALSE(defaults.empty()) << module;
        for (const char* name : {"p.fxp", "p.fxb"}) {
            // Parameters 0 and 1 away from their defaults; the rest as they were.
            const HostRun saved = Save(module, name, {"--set", "0=0.9", "--set", "1=0.1"});
            ASSERT_EQ(saved.exitCode, 0) << module << ": " << saved.err;
            EXPECT_NE(saved.out.find(std::string(name) == "p.fxp" ? "FxCk" : "FxBk"),
                      std::string::npos)
                << saved.out;
            const std::vector<std::string> loaded = Loaded(module, name);
            ASSERT_EQ(loaded.size(), defaults.size()) << module;
            EXPECT_NE(loaded[0], defaults[0]) << module;
            EXPECT_EQ(std::vector<std::string>(loaded.begin() + 2, loaded.end()),
                      std::vector<std::string>(defaults.begin() + 2, defaults.end()))
                << module;
        }
        const HostRun chunk = Save(module, "c.fxp", {"--form", "chunk"});
        EXPECT_EQ(chunk.exitCode, 1) << module;
        EXPECT_NE(chunk.err.find("gives no program chunk"), std::string::npos) << chunk.err;
    }
}

TEST_F(PresetTest, LoadingRefusesFilesThatDoNotFitAndNamesWhy) {
    ASSERT_EQ(Save(kGain, "gain.fxp").exitCode, 0);
    ASSERT_EQ(Save("", "kvx.fxp").exitCode, 0);
    ASSERT_EQ(Save(kBiquad, "eq.fxb").exitCode, 0);
    ExpectLoadFails("", "gain.fxp",
                    "the preset is for the plug-in with unique ID KvGa (0x4B764761), but this "
                    "plug-in's ID is Jmx2 (0x4A6D7832)");
    ExpectLoadFails(kGain, "kvx.fxp",
                    "unique ID Jmx2 (0x4A6D7832), but this plug-in's ID is "
                    "KvGa (0x4B764761)");
    ExpectLoadFails(kGain, "eq.fxb", "unique ID KvBq");

    std::vector<unsigned char> newer = FileBytes(dir / "gain.fxp");
    newer[23] = 9;
    PutBytes(dir / "newer.fxp", newer);
    ExpectLoadFails(kGain, "newer.fxp",
                    "saved by version 9 of the plug-in, newer than this "
                    "version 2");
    std::vector<unsigned char> bad = FileBytes(dir / "gain.fxp");
    bad[bad.size() - 4] = 0x40; // 2.0 or more
    PutBytes(dir / "range.fxp", bad);
    ExpectLoadFails(kGain, "range.fxp", "gives parameter 2 the value");
    // A chunk for a plug-in that keeps none: the biquad's program, with the gain's identity.
    ASSERT_EQ(Save(kBiquad, "eq.fxp").exitCode, 0);
    std::vector<unsigned char> chunk = FileBytes(dir / "eq.fxp");
    std::copy(newer.begin() + 16, newer.begin() + 20, chunk.begin() + 16);
    chunk[23] = 2;
    PutBytes(dir / "chunk.fxp", chunk);
    ExpectLoadFails(kGain, "chunk.fxp", "the plug-in keeps no chunks");
    // A chunk the plug-in itself refuses.
    std::vector<unsigned char> refused = FileBytes(dir / "eq.fxb");
    refused.back() ^= 0x80;
    refused[refused.size() - 16] = 'X';
    PutBytes(dir / "refused.fxb", refused);
    ExpectLoadFails(kBiquad, "refused.fxb", "the plug-in refused the preset's chunk");

    const std::vector<unsigned char> good = FileBytes(dir / "kvx.fxp");
    PutBytes(dir / "short.fxp", std::vector<unsigned char>(good.begin(), good.begin() + 30));
    ExpectLoadFails("", "short.fxp", "short.fxp is no valid preset: the program file is cut short");
    PutBytes(dir / "cut.fxp", std::vector<unsigned char>(good.begin(), good.end() - 3));
    ExpectLoadFails("", "cut.fxp", "the file is truncated");
    std::vector<unsigned char> longer = good;
    longer.insert(longer.end(), 100, 0);
    PutBytes(dir / "long.fxp", longer);
    ExpectLoadFails("", "long.fxp", "the file has bytes beyond it");
    ExpectLoadFails("", "missing.fxp", "cannot read missing.fxp");
    ExpectLoadFails("", ".", "it is a folder");
    // A sparse file far past any preset's size is refused before it is read.
    {
        std::ofstream huge(dir / "huge.fxb", std::ios::binary);
        huge.seekp(std::streamoff(1) << 31);
        huge.put('\0');
    }
    ExpectLoadFails("", "huge.fxb", "more than the 1073741824 kvx-host reads");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"preset"},
          {"preset", "save"},
          {"preset", "load", "-o", "a"},
          {"preset", "save", "-o", "a.fxp", "--form", "both"}}) {
        const HostRun run = Host(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("usage: kvx-host preset"), std::string::npos) << run.err;
    }
    const HostRun wrongName = Save("", "preset.txt");
    EXPECT_EQ(wrongName.exitCode, 1);
    EXPECT_NE(wrongName.err.find("names neither a program file (.fxp) nor a bank file (.fxb)"),
              std::string::npos);
}

// In the host's own process, so the plug-in's state can be read after a refused file.
TEST(PresetExchange, ARefusedPresetChangesNothingInThePlugIn) {
    std::string error;
    const LoadedPlugin loaded = LoadPlugin(KVX_GAIN_MODULE, &error);
    ASSERT_TRUE(loaded.plugin) << error;
    HostedPlugin& plugin = *loaded.plugin;
    plugin.Open(44100.0, 64);
    plugin.SetParameter(0, 0.75f);
    plugin.SetParameter(2, 0.9f);
    PresetFile good;
    ASSERT_TRUE(CapturePreset(plugin, PresetFile::Kind::kBank, PresetFile::Form::kParameters, &good,
                              &error));
    ASSERT_EQ(good.programs.size(), 1u);

    std::vector<PresetFile> bad(6, good);
    bad[0].uniqueId = 0x41424344;
    bad[1].pluginVersion = 3;
    bad[2].programs[0].values.pop_back();
    bad[3].programs.push_back(good.programs[0]); // two programs for a plug-in with one
    bad[4].currentProgram = 1;
    bad[5].programs[0].values[1] = std::nanf("");
    for (std::size_t i = 0; i < bad.size(); ++i) {
        plugin.SetParameter(0, 0.75f);
        plugin.SetParameter(2, 0.9f);
        PresetFile changed = bad[i];
        changed.programs[0].values[0] = 0.125f;
        changed.programs[0].values[2 < changed.programs[0].values.size() ? 2 : 0] = 0.125f;
        EXPECT_FALSE(ApplyPreset(plugin, changed, &error)) << i;
        EXPECT_EQ(plugin.GetParameter(0), 0.75f) << i << ": " << error;
        EXPECT_EQ(plugin.GetParameter(2), 0.9f) << i;
    }
    good.programs[0].values[0] = 0.125f;
    EXPECT_TRUE(ApplyPreset(plugin, good, &error)) << error;
    EXPECT_EQ(plugin.GetParameter(0), 0.125f);
}

TEST_F(PresetTest, RenderPlaysThroughAPresetAndSetsOnTopOfIt) {
    const Sound in = TestSignal(2, 44100, 3000);
    WriteSound(dir / "in.wav", in, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(Save(kGain, "quiet.fxp", {"--set", "Gain=0.25", "--set", "Route=Swap"}).exitCode, 0);
    HostRun run = Host(
        {"render", kGain, "-i", "in.wav", "-o", "out.wav", "--tail", "0", "--preset", "quiet.fxp"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("preset quiet.fxp, program '' (FxCk, 3 parameters)"), std::string::npos)
        << run.out;
    Sound out = ReadSound(dir / "out.wav");
    for (std::size_t f = 0; f < in.Frames(); ++f) {
        ASSERT_EQ(out.At(f, 0), float(0.5 * in.At(f, 1))) << f;
    }
    run = Host({"render", kGain, "-i", "in.wav", "-o", "out.wav", "--tail", "0", "--preset",
                "quiet.fxp", "--set", "Route=Straight"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    out = ReadSound(dir / "out.wav");
    for (std::size_t f = 0; f < in.Frames(); ++f) {
        ASSERT_EQ(out.At(f, 1), float(0.5 * in.At(f, 1))) << f;
    }
    run = Host({"render", "-i", "in.wav", "-o", "k.wav", "--preset", "quiet.fxp"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot load quiet.fxp: the preset is for the plug-in with unique ID "
                           "KvGa"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"in.wav", "out.wav", "quiet.fxp"}));
}

} // namespace
