// The bundle as the LV2 community's own tools see it: lv2info reads both plug-ins with the ports
// the core's parameter table gives, and lv2apply renders a file sample for sample as kvx-host
// renders it through the VST module (float path, at lv2apply's one frame per run).

#include "HostTestSupport.h"
#include "Lv2World.h"
#include "plugin/IPlugVST.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace {

const char* const kStereo = "urn:wexmoradine:kelvorantumix";
const char* const kMono = "urn:wexmoradine:kelvorantumix:mono";

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class Lv2Tools : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(world.Complete()); }

    // Runs an LV2 tool in the work folder; its exit code, and its output in out.
    int RunTool(const std::string& command, std::string* out = nullptr) {
        const std::string outPath = work / "tool.out";
        const std::string line = "cd " + Quoted(work.Path()) +
                                 " && LV2_PATH=" + Quoted(world.Path()) + " " + command + " >" +
                                 Quoted(outPath) + " 2>&1 </dev/null";
        const int status = std::system(line.c_str());
        if (out) {
            *out = ReadText(outPath);
        }
        unlink(outPath.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    Lv2World world;
    TempDir work;
};

// lv2info's ports: for each index, its lines ("Symbol", "Name", "Type", ...) with every value.
std::map<int, std::map<std::string, std::set<std::string>>> PortsOf(const std::string& info) {
    std::map<int, std::map<std::string, std::set<std::string>>> ports;
    std::istringstream lines(info);
    std::string line;
    int port = -1;
    std::string key;
    while (std::getline(lines, line)) {
        int index = 0;
        if (std::sscanf(line.c_str(), "\tPort %d:", &index) == 1) {
            port = index;
            continue;
        }
        if (port < 0 || line.rfind("\t\t", 0) != 0) {
            continue;
        }
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (first.back() == ':') {
            key = first.substr(0, first.size() - 1);
            ports[port][key].insert(second);
        } else {
            ports[port][key].insert(first);
        }
    }
    return ports;
}

std::string Fixed6(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

TEST_F(Lv2Tools, TheTurtleFilesValidateAgainstTheLv2Schemas) {
    std::string out;
    const int code = RunTool("sord_validate " + world.Path() + "/*.lv2/*.ttl", &out);
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("Found 0 errors"), std::string::npos) << out;
}

TEST_F(Lv2Tools, Lv2infoReadsBothPlugInsWithTheCoresParameters) {
    const std::unique_ptr<IPlugVST> core(MakePlug(nullptr));
    const std::string lv2 = "http://lv2plug.in/ns/lv2core#";
    for (const char* uri : {kStereo, kMono}) {
        std::string info;
        ASSERT_EQ(RunTool(std::string("lv2info ") + uri, &info), 0) << info;
        EXPECT_NE(info.find("Class:             Distortion Plugin"), std::string::npos) << info;
        EXPECT_NE(info.find("urn:wexmoradine:kelvorantumix:ui"), std::string::npos) << info;
        EXPECT_NE(info.find("X11UI"), std::string::npos);
        EXPECT_EQ(info.find("Required Features"), std::string::npos) << "every feature optional";
        EXPECT_NE(info.find(lv2 + "hardRTCapable"), std::string::npos);
        EXPECT_NE(info.find("http://lv2plug.in/ns/ext/state#interface"), std::string::npos);
        EXPECT_EQ(info.find("inPlaceBroken"), std::string::npos);

        const auto ports = PortsOf(info);
        const int inputs = uri == kMono ? 1 : 2;
        ASSERT_EQ(int(ports.size()), core->NumParams() + inputs + 2) << info;
        for (int i = 0; i < core->NumParams(); ++i) {
            const IParameter* param = core->GetParam(i);
            auto port = ports.at(i);
            EXPECT_EQ(port["Type"],
                      std::set<std::string>({lv2 + "ControlPort", lv2 + "InputPort"}));
            EXPECT_EQ(port["Name"], std::set<std::string>({param->Name()}));
            EXPECT_EQ(port["Symbol"], std::set<std::string>({Lower(param->Name())}));
            EXPECT_EQ(port["Minimum"], std::set<std::string>({Fixed6(param->Minimum())}));
            EXPECT_EQ(port["Maximum"], std::set<std::string>({Fixed6(param->Maximum())}));
            EXPECT_EQ(port["Default"], std::set<std::string>({Fixed6(param->Value())}));
            const bool isSwitch = param->GetKind() == IParameter::kEnumerated;
            EXPECT_EQ(port["Properties"].count(lv2 + "toggled"), isSwitch ? 1u : 0u)
                << param->Name();
        }
        const std::vector<std::string> audio =
            uri == kMono ? std::vector<std::string>{"in", "out_l", "out_r"}
                         : std::vector<std::string>{"in_l", "in_r", "out_l", "out_r"};
        for (std::size_t a = 0; a < audio.size(); ++a) {
            auto port = ports.at(core->NumParams() + int(a));
            const bool isInput = int(a) < inputs;
            EXPECT_EQ(port["Type"],
                      std::set<std::string>(
                          {lv2 + "AudioPort", lv2 + (isInput ? "InputPort" : "OutputPort")}));
            EXPECT_EQ(port["Symbol"], std::set<std::string>({audio[a]}));
        }
    }
}

namespace {

class Lv2Apply : public Lv2Tools {
protected:
    void SetUp() override {
        if (!KVX_HOSTS_CAN_LOAD_BUNDLE) {
            GTEST_SKIP() << "lv2apply cannot load a bundle built with a sanitizer";
        }
        Lv2Tools::SetUp();
    }

    // Renders in.wav through the LV2 plug-in with lv2apply and vstInput through the VST module
    // with kvx-host (float path, vstBlock frames per process call): the samples that differ.
    std::size_t Differing(const char* uri, const std::string& vstInput,
                          const std::vector<std::pair<std::string, std::string>>& settings,
                          const char* vstBlock = "1") {
        std::string lv2Command = "lv2apply -i in.wav -o lv2.wav";
        std::vector<std::string> vstArgs = {"render",  KVX_VST_MODULE, "-i",     vstInput, "-o",
                                            "vst.wav", "--block",      vstBlock, "--tail", "0"};
        for (const auto& setting : settings) {
            lv2Command += " -c " + setting.first + " " + setting.second;
            vstArgs.push_back("--set");
            vstArgs.push_back(setting.first + "=" + setting.second);
        }
        std::string out;
        EXPECT_EQ(RunTool(lv2Command + " " + uri, &out), 0) << out;
        const HostRun run = RunHost(vstArgs, work.Path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const Sound lv2 = ReadSound(work / "lv2.wav");
        const Sound vst = ReadSound(work / "vst.wav");
        EXPECT_EQ(lv2.channels, 2);
        EXPECT_EQ(vst.channels, 2);
        if (lv2.samples.size() != vst.samples.size() || lv2.samples.empty()) {
            ADD_FAILURE() << "the renders differ in length";
            return lv2.samples.size() + vst.samples.size() + 1;
        }
        EXPECT_NE(lv2.samples, ReadSound(work / "in.wav").samples) << "the effect did something";
        std::size_t differing = 0;
        for (std::size_t i = 0; i < lv2.samples.size(); ++i) {
            differing += lv2.samples[i] != vst.samples[i];
        }
        return differing;
    }

    // The host tests' signal after a silence, in which only the effect's own noise, placed by
    // each sample's position in its block, reaches the output.
    static Sound AfterSilence(int channels) {
        Sound sound = TestSignal(channels, 44100, 30000);
        sound.samples.insert(sound.samples.begin(), std::size_t(2000 * channels), 0.0);
        return sound;
    }
};

} // namespace

TEST_F(Lv2Apply, StereoRendersAsTheVstModuleAtOneFramePerRun) {
    WriteSound(work / "in.wav", AfterSilence(2), SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(Differing(kStereo, "in.wav", {}), 0u);
    EXPECT_EQ(Differing(kStereo, "in.wav",
                        {{"level", "0.3"},
                         {"drive", "0.85"},
                         {"low", "0.1"},
                         {"mid", "0.7"},
                         {"high", "0.95"},
                         {"vortalizer", "1"}}),
              0u);
    // The comparison sees the block size: lv2apply runs the plug-in one frame at a time.
    EXPECT_GT(Differing(kStereo, "in.wav", {}, "64"), 0u);
}

TEST_F(Lv2Apply, MonoInRendersAsStereoWithASilentRightInput) {
    const Sound mono = AfterSilence(1);
    WriteSound(work / "in.wav", mono, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    Sound leftOnly;
    leftOnly.channels = 2;
    leftOnly.rate = mono.rate;
    for (double sample : mono.samples) {
        leftOnly.samples.push_back(sample);
        leftOnly.samples.push_back(0.0);
    }
    WriteSound(work / "left-only.wav", leftOnly, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(Differing(kMono, "left-only.wav", {}), 0u);
    EXPECT_EQ(Differing(kMono, "left-only.wav", {{"drive", "1"}, {"vortalizer", "1"}}), 0u);
}
