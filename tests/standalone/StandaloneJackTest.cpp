// kelvorantumix on a private JACK server, fed and recorded by the test's own clients.

#include "StandaloneOnJack.h"
#include "WaitFor.h"

#include <jack/jack.h>

#include <cmath>
#include <csignal>
#include <fstream>

namespace {

std::vector<std::string> Connections(jack_client_t* client, const std::string& port) {
    std::vector<std::string> names;
    const char** connected =
        jack_port_get_all_connections(client, jack_port_by_name(client, port.c_str()));
    for (const char** name = connected; name && *name; ++name) {
        names.push_back(*name);
    }
    jack_free(connected);
    return names;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

class StandaloneAtServerRate : public StandaloneOnJack,
                               public ::testing::WithParamInterface<int> {};

TEST_P(StandaloneAtServerRate, PlaysTheGuitarSampleForSampleAsThePluginRendersIt) {
    const int rate = GetParam();
    const int period = 256;
    if (!StartServer(rate, period)) {
        GTEST_SKIP() << why_;
    }
    const auto app = Launch({"--no-gui", "--no-connect"});
    const auto rig = ConnectRig();
    ASSERT_TRUE(rig);
    const std::size_t preroll = Preroll(rate, period);
    ASSERT_TRUE(rig->WaitForRecordedFrames(preroll));
    const std::vector<float> guitar = Guitar(rate, 1.5);
    std::vector<float> left, right;
    ASSERT_TRUE(rig->PlayThrough(guitar, &left, &right));

    const Stereo rendered = Render(guitar, rate, period, preroll);
    EXPECT_EQ(rig->Jumps(), 0);
    EXPECT_GT(Peak(left), 0.01f);
    const Mismatch leftMismatch = Compare(left, rendered.left);
    const Mismatch rightMismatch = Compare(right, rendered.right);
    EXPECT_EQ(leftMismatch.count, 0u) << "first at frame " << leftMismatch.first;
    EXPECT_EQ(rightMismatch.count, 0u) << "first at frame " << rightMismatch.first;

    EXPECT_TRUE(Has(app->Out(), "at " + std::to_string(rate) + " Hz, 256 frames")) << app->Out();
    app->Signal(SIGTERM);
    EXPECT_EQ(app->Wait(), 0) << app->Err();
}

INSTANTIATE_TEST_SUITE_P(Rates, StandaloneAtServerRate, ::testing::Values(48000, 44100, 96000));

TEST_F(StandaloneOnJack, FollowsTheServerToANewBufferSize) {
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    const auto app = Launch({"--no-gui", "--no-connect"});
    const auto rig = ConnectRig();
    ASSERT_TRUE(rig);
    ASSERT_TRUE(rig->WaitForRecordedFrames(4096));
    ASSERT_EQ(jack_set_buffer_size(rig->Player(), 128), 0);
    ASSERT_EQ(jack_get_buffer_size(rig->Player()), 128u);
    const std::size_t preroll = Preroll(48000, 128);
    ASSERT_TRUE(rig->WaitForRecordedFrames(preroll));
    const std::vector<float> guitar = Guitar(48000, 1.5);
    std::vector<float> left, right;
    ASSERT_TRUE(rig->PlayThrough(guitar, &left, &right));

    // The new block size restarts the plug-in's denormal guard at the next stretch of its
    // sequence, which a fresh render does not: they differ near 1e-10, so within a tolerance.
    const Stereo rendered = Render(guitar, 48000, 128, preroll);
    ASSERT_EQ(left.size(), rendered.left.size());
    float largest = 0.0f;
    for (std::size_t i = 0; i < left.size(); ++i) {
        largest = std::max(largest, std::fabs(left[i] - rendered.left[i]));
    }
    EXPECT_GT(Peak(left), 0.01f);
    EXPECT_LT(largest, 1e-6f);
    app->Signal(SIGINT);
    EXPECT_EQ(app->Wait(), 0) << app->Err();
}

TEST_F(StandaloneOnJack, MidiControllersSwitchTheEffectAndMoveTheKnobs) {
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    const auto app = Launch({"--no-gui", "--no-connect"});
    const auto rig = ConnectRig();
    ASSERT_TRUE(rig);
    ASSERT_TRUE(rig->WaitForRecordedFrames(4096));
    const std::vector<float> guitar = Guitar(48000, 6.0);
    const std::uint32_t start = rig->Play(guitar);
    const std::size_t stretch = 9600;
    const auto input = [&](std::uint32_t at) {
        return std::vector<float>(guitar.begin() + long(at - start),
                                  guitar.begin() + long(at - start + stretch));
    };
    // A controller takes effect from the first frame of the period it arrives in.
    ASSERT_TRUE(rig->WaitUntilRecorded(start + 24000));
    const std::uint32_t off = rig->SendController(0, kEffectController, 0);
    ASSERT_TRUE(rig->WaitUntilRecorded(off + stretch));
    const std::uint32_t on = rig->SendController(3, kEffectController, 127);
    const std::uint32_t quiet = rig->SendController(0, kLevelController, 0);
    ASSERT_TRUE(rig->WaitUntilRecorded(quiet + 2 * stretch));
    const std::uint32_t loud = rig->SendController(0, kLevelController, 127);
    ASSERT_TRUE(rig->WaitUntilRecorded(loud + stretch));

    EXPECT_NE(Compare(rig->Recorded(0, off - std::uint32_t(stretch), stretch),
                      input(off - std::uint32_t(stretch)))
                  .count,
              0u);
    // Effect off: the input passes untouched to both outputs.
    EXPECT_EQ(Compare(rig->Recorded(0, off, stretch), input(off)).count, 0u);
    EXPECT_EQ(Compare(rig->Recorded(1, off, stretch), input(off)).count, 0u);
    EXPECT_NE(Compare(rig->Recorded(0, on, stretch), input(on)).count, 0u);
    // Level at 0 silences the mix; the tone filters after it ring out first.
    EXPECT_LT(Peak(rig->Recorded(0, quiet + std::uint32_t(stretch), stretch)), 1e-6f);
    EXPECT_GT(Peak(rig->Recorded(0, loud, stretch)), 0.05f);
    app->Signal(SIGTERM);
    ASSERT_EQ(app->Wait(), 0) << app->Err();
    const std::string state = DescribeState(StatePath());
    EXPECT_TRUE(Has(state, "Effect=On")) << state;
    EXPECT_TRUE(Has(state, "Level=1")) << state;
}

TEST_F(StandaloneOnJack, SettingsComeBackAtTheNextStartAndAPresetReplacesThem) {
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    {
        const auto app = Launch({"--no-gui", "--no-connect"});
        SwitchEffectOffByMidi();
        app->Signal(SIGTERM);
        ASSERT_EQ(app->Wait(), 0) << app->Err();
        EXPECT_TRUE(Has(app->Out(), "settings saved to " + StatePath())) << app->Out();
    }
    const std::vector<float> guitar = Guitar(48000, 0.5);
    {
        const auto app = Launch({"--no-gui", "--no-connect"});
        const auto rig = ConnectRig();
        ASSERT_TRUE(rig);
        std::vector<float> left, right;
        ASSERT_TRUE(rig->PlayThrough(guitar, &left, &right));
        EXPECT_EQ(Compare(left, guitar).count, 0u) << "the Effect switch did not stay off";
        app->Signal(SIGTERM);
        ASSERT_EQ(app->Wait(), 0) << app->Err();
    }
    ASSERT_EQ(RunHost({"chunk", "save", "-o", "defaults.state"}, dir.Path()).exitCode, 0);
    {
        const auto app = Launch({"--no-gui", "--no-connect", "--preset", dir / "defaults.state"});
        const auto rig = ConnectRig();
        ASSERT_TRUE(rig);
        std::vector<float> left, right;
        ASSERT_TRUE(rig->PlayThrough(guitar, &left, &right));
        EXPECT_NE(Compare(left, guitar).count, 0u);
        app->Signal(SIGTERM);
        ASSERT_EQ(app->Wait(), 0) << app->Err();
    }
    EXPECT_TRUE(Has(DescribeState(StatePath()), "Effect=On"));
}

TEST_F(StandaloneOnJack, BadStateFilesGiveAWarningAndTheDefaults) {
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    ASSERT_EQ(RunHost({"chunk", "save", "-o", "defaults.state"}, dir.Path()).exitCode, 0);
    const std::string defaults = DescribeState(dir / "defaults.state");
    const struct {
        std::string bytes;
        const char* warning;
    } cases[] = {
        {"", "too short for a Kelvorantumix state"},
        {"KVX", "too short for a Kelvorantumix state"},
        {std::string(64, '\x7f'), "is not a Kelvorantumix state"},
    };
    ASSERT_EQ(std::system(("mkdir -p '" + (dir / "config/kelvorantumix") + "'").c_str()), 0);
    for (const auto& bad : cases) {
        std::ofstream(dir / "bad.state", std::ios::binary) << bad.bytes;
        std::ofstream(StatePath(), std::ios::binary) << bad.bytes;
        const auto app = Launch({"--no-gui", "--no-connect"});
        const auto rig = ConnectRig();
        ASSERT_TRUE(rig);
        app->Signal(SIGTERM);
        EXPECT_EQ(app->Wait(), 0) << app->Err();
        EXPECT_TRUE(Has(app->Err(), bad.warning)) << app->Err();
        EXPECT_TRUE(Has(app->Err(), "starting from the default settings")) << app->Err();
        EXPECT_EQ(DescribeState(StatePath()), defaults);

        // Asked for by name, a bad preset is an error rather than a surprise.
        const auto withPreset = Launch({"--no-gui", "--no-connect", "--preset", dir / "bad.state"});
        EXPECT_EQ(withPreset->Wait(), 1);
        EXPECT_TRUE(Has(withPreset->Err(), bad.warning)) << withPreset->Err();
    }
}

TEST_F(StandaloneOnJack, EndsCleanlyWithTheSettingsSavedWhenTheServerStops) {
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    const auto app = Launch({"--no-gui", "--no-connect"});
    SwitchEffectOffByMidi();
    server->Stop();
    EXPECT_EQ(app->Wait(), 0) << app->Err();
    EXPECT_TRUE(Has(app->Err(), "the JACK server shut down")) << app->Err();
    EXPECT_TRUE(Has(DescribeState(StatePath()), "Effect=Off"));
}

TEST_F(StandaloneOnJack, ConnectsToThePhysicalPortsUnlessToldNotTo) {
    if (!StartServer(48000, 256)) {
        GTEST_SKIP() << why_;
    }
    std::string why;
    const auto watcher = JackTestRig::Open(server->Name(), 1.0, &why);
    ASSERT_TRUE(watcher) << why;
    jack_client_t* client = watcher->Player();
    const auto waitForPort = [&](const std::string& port) {
        return WaitFor([&] { return jack_port_by_name(client, port.c_str()) != nullptr; });
    };
    const auto waitForConnection = [&](const std::string& port) {
        return WaitFor([&] { return !Connections(client, port).empty(); });
    };
    {
        const auto app = Launch({"--no-gui"});
        ASSERT_TRUE(waitForPort("Kelvorantumix:in"));
        EXPECT_TRUE(waitForConnection("Kelvorantumix:out_2"));
        EXPECT_EQ(Connections(client, "Kelvorantumix:in"),
                  std::vector<std::string>{"system:capture_1"});
        EXPECT_EQ(Connections(client, "Kelvorantumix:out_1"),
                  std::vector<std::string>{"system:playback_1"});
        EXPECT_EQ(Connections(client, "Kelvorantumix:out_2"),
                  std::vector<std::string>{"system:playback_2"});
        app->Signal(SIGTERM);
        EXPECT_EQ(app->Wait(), 0) << app->Err();
    }
    {
        const auto app = Launch({"--no-gui", "--stereo", "--server", server->Name()});
        ASSERT_TRUE(waitForPort("Kelvorantumix:in_2"));
        EXPECT_TRUE(waitForConnection("Kelvorantumix:out_2"));
        EXPECT_EQ(jack_port_by_name(client, "Kelvorantumix:in"), nullptr);
        EXPECT_EQ(Connections(client, "Kelvorantumix:in_1"),
                  std::vector<std::string>{"system:capture_1"});
        EXPECT_EQ(Connections(client, "Kelvorantumix:in_2"),
                  std::vector<std::string>{"system:capture_2"});
        app->Signal(SIGTERM);
        EXPECT_EQ(app->Wait(), 0) << app->Err();
    }
    {
        const auto app = Launch({"--no-gui", "--no-connect"});
        // It says it is running once it would have made its connections.
        ASSERT_TRUE(WaitFor([&] { return Has(app->Out(), "Ctrl-C ends it"); })) << app->Err();
        EXPECT_TRUE(Connections(client, "Kelvorantumix:in").empty());
        EXPECT_TRUE(Connections(client, "Kelvorantumix:out_1").empty());
        app->Signal(SIGTERM);
        EXPECT_EQ(app->Wait(), 0) << app->Err();
    }
}

TEST_F(StandaloneOnJack, WithoutAServerItSaysHowToStartOneAndStartsNone) {
    const std::string name = "kvx-test-absent-" + std::to_string(getpid());
    StandaloneProcess app({"--no-gui"}, {"JACK_DEFAULT_SERVER=" + name}, dir.Path());
    EXPECT_EQ(app.Wait(), 3);
    EXPECT_TRUE(Has(app.Err(), "no JACK server is running named '" + name + "'")) << app.Err();
    EXPECT_TRUE(Has(app.Err(), "jackd -d alsa")) << app.Err();
    EXPECT_TRUE(Has(app.Err(), "pw-jack kelvorantumix")) << app.Err();
    EXPECT_TRUE(Has(app.Err(), "--start-server")) << app.Err();
    jack_status_t status{};
    jack_client_t* client =
        jack_client_open("kvx-test-check", jack_options_t(JackNoStartServer | JackServerName),
                         &status, name.c_str());
    EXPECT_EQ(client, nullptr) << "a server was started";
    if (client) {
        jack_client_close(client);
    }
}

TEST_F(StandaloneOnJack, ABadMidiMapIsRefusedWithItsLine) {
    std::ofstream(dir / "pedal.map") << "# my pedal\n80 Effect toggle\n81 Flanger\n";
    StandaloneProcess app({"--no-gui", "--midi-map", dir / "pedal.map"}, {}, dir.Path());
    EXPECT_EQ(app.Wait(), 1);
    EXPECT_TRUE(Has(app.Err(), dir / "pedal.map" + ":3: no parameter is called 'Flanger'"))
        << app.Err();
    StandaloneProcess missing({"--no-gui", "--midi-map", dir / "absent.map"}, {}, dir.Path());
    EXPECT_EQ(missing.Wait(), 1);
    EXPECT_TRUE(Has(missing.Err(), "cannot read the MIDI map")) << missing.Err();
}

TEST_F(StandaloneOnJack, StartServerStartsTheServerJackWouldStart) {
    const std::string jackd = PrivateJackServer::JackdPath();
    if (jackd.empty()) {
        GTEST_SKIP() << "no jackd on the PATH";
    }
    // One name each time, like the private servers' (PrivateJackServer says why).
    const std::string name = "kvx-standalone-test-started";
    // libjack starts the server ~/.jackdrc names; -T ends it when its last client leaves.
    std::ofstream(dir / ".jackdrc") << jackd << " -T -d dummy -r 48000 -p 256\n";
    const std::vector<std::string> environment = {
        "JACK_DEFAULT_SERVER=" + name, "HOME=" + dir.Path(), "XDG_CONFIG_HOME=", "DISPLAY="};
    StandaloneProcess app({"--no-connect", "--start-server"}, environment, dir.Path());
    ASSERT_TRUE(WaitFor([&] { return Has(app.Out(), "Ctrl-C ends it"); }, 20000)) << app.Err();
    EXPECT_TRUE(Has(app.Out(), "Kelvorantumix on JACK at 48000 Hz, 256 frames")) << app.Out();
    app.Signal(SIGINT);
    EXPECT_EQ(app.Wait(), 0) << app.Err();
    EXPECT_TRUE(Has(app.Out(), "settings saved to " + dir / ".config/kelvorantumix/state"));
    const auto serverAnswers = [&] {
        jack_status_t status{};
        jack_client_t* client =
            jack_client_open("kvx-test-check", jack_options_t(JackNoStartServer | JackServerName),
                             &status, name.c_str());
        if (client) {
            jack_client_close(client);
        }
        return client != nullptr;
    };
    EXPECT_TRUE(WaitFor([&] { return !serverAnswers(); })) << "the server did not end with it";
}
