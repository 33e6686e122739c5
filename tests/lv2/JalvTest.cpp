// The UI in a real LV2 host: Debian's jalv, on a JACK server of the test's own (dummy driver) on
// the virtual display. jalv.gtk3 embeds the X11 UI in its window; the console jalv shows it
// through the show interface and takes the user's commands on its standard input.

#include "BesideVstEditor.h"
#include "ChildProcess.h"
#include "Lv2World.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace {

const char* const kStereoUri = "urn:wexmoradine:kelvorantumix";

class Lv2JalvTest : public BesideVstEditor {
protected:
    // One JACK server for the whole program, with a dummy driver, named after the process.
    static void SetUpTestSuite() {
        if (!KVX_HOSTS_CAN_LOAD_BUNDLE) {
            return;
        }
        char folder[] = "/tmp/kvx-jalv-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        work = folder;
        server = "kvx-lv2-" + std::to_string(getpid());
        jackd = new ChildProcess(
            {"jackd", "--no-realtime", "-n", server, "-d", "dummy", "-r", "48000", "-p", "256"}, {},
            work, "jackd.log");
        const std::string wait = "jack_wait -s " + server + " -w -t 30 >/dev/null 2>&1";
        serverUp = jackd->Started() && std::system(wait.c_str()) == 0;
    }

    static void TearDownTestSuite() {
        // Given time to leave JACK's registry of servers as it found it.
        if (jackd) {
            jackd->Stop(30000);
        }
        delete jackd;
        jackd = nullptr;
        if (!work.empty()) {
            unlink((work + "/jackd.log").c_str());
            rmdir(work.c_str());
        }
    }

    void SetUp() override {
        if (!KVX_HOSTS_CAN_LOAD_BUNDLE) {
            GTEST_SKIP() << "jalv cannot load a bundle built with a sanitizer";
        }
        BesideVstEditor::SetUp();
        ASSERT_TRUE(world.Complete());
        ASSERT_TRUE(serverUp) << jackd->Output();
    }

    void TearDown() override {
        if (jalv) {
            jalv->Stop(15000);
            jalv.reset();
            unlink((work + "/jalv.log").c_str());
        }
        BesideVstEditor::TearDown();
    }

    void StartJalv(const std::vector<std::string>& argv) {
        jalv = std::make_unique<ChildProcess>(
            argv,
            // No desktop bus on the virtual display: GTK keeps its settings in memory, files are
            // plain local files, and there is no accessibility bus to wait for.
            std::vector<std::string>{"LV2_PATH=" + world.Path(), "JACK_DEFAULT_SERVER=" + server,
                                     "GSETTINGS_BACKEND=memory", "GIO_USE_VFS=local",
                                     "NO_AT_BRIDGE=1"},
            work, "jalv.log");
        ASSERT_TRUE(jalv->Started());
    }

    // The editor: the deepest window of the panel's size under the top-level titled title.
    Window FindEditor(const std::string& title) {
        const auto tops = session->TopLevelsTitled(title);
        Window found = 0;
        std::vector<Window> pending(tops.begin(), tops.end());
        while (!pending.empty()) {
            const Window window = pending.back();
            pending.pop_back();
            int x, y, w, h;
            if (session->Geometry(window, &x, &y, &w, &h) && w == kWidth && h == kHeight &&
                session->Children(window).empty()) {
                found = window;
            }
            for (const Window child : session->Children(window)) {
                pending.push_back(child);
            }
        }
        return found;
    }

    Window WaitForEditor(const std::string& title) {
        Window editor = 0;
        WaitFor([&] { return (editor = FindEditor(title)) != 0; }, 30000);
        return editor;
    }

    static std::string ReadFile(const std::string& path) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::string text;
        char buffer[4096];
        for (std::size_t n; file && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
            text.append(buffer, n);
        }
        if (file) {
            std::fclose(file);
        }
        return text;
    }

    static std::vector<unsigned char> DecodeBase64(const std::string& text) {
        const std::string alphabet =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::vector<unsigned char> bytes;
        unsigned bits = 0;
        int count = 0;
        for (char c : text) {
            const std::size_t value = alphabet.find(c);
            if (value == std::string::npos) {
                continue;
            }
            bits = (bits << 6) | unsigned(value);
            count += 6;
            if (count >= 8) {
                count -= 8;
                bytes.push_back(static_cast<unsigned char>((bits >> count) & 0xFF));
            }
        }
        return bytes;
    }

    static std::string work;
    static std::string server;
    static ChildProcess* jackd;
    static bool serverUp;
    Lv2World world;
    std::unique_ptr<ChildProcess> jalv;
};
std::string Lv2JalvTest::work;
std::string Lv2JalvTest::server;
ChildProcess* Lv2JalvTest::jackd = nullptr;
bool Lv2JalvTest::serverUp = false;

} // namespace

TEST_F(Lv2JalvTest, Gtk3EmbedsThePanelWithTheHostsValuesAndTheVstEditorsPixels) {
    StartJalv({"jalv.gtk3", "-c", "drive=0.25", kStereoUri});
    const Window editor = WaitForEditor("Kelvorantumix");
    ASSERT_NE(editor, 0u) << jalv->Output();
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.25); }))
        << "the host's value reaches the knob";
    plugin->SetParameter(kDrive, 0.25f);
    const Window vstEditor = VstEditorAt(700, 400);
    EXPECT_TRUE(WaitFor([&] { return PanelMismatch(editor, vstEditor) == 0; }))
        << PanelMismatch(editor, vstEditor) << " pixels differ from the VST editor";

    // The user's drag moves the knob; jalv hears it in idle() and the host window lives on.
    DragDriveUp(editor);
    EXPECT_TRUE(WaitFor([&] { return !ShowsKnob(editor, DriveKnob(), 0.25); }));
    EXPECT_TRUE(jalv->Running()) << jalv->Output();

    // Closing jalv's window closes the UI and then jalv, cleanly.
    session->RequestClose(session->TopLevelsTitled("Kelvorantumix").front());
    EXPECT_EQ(jalv->WaitForExit(20000), 0) << jalv->Output();
}

TEST_F(Lv2JalvTest, Gtk3PresetChosenInTheHostMovesTheKnob) {
    StartJalv({"jalv.gtk3", "-c", "drive=0.25", kStereoUri});
    const Window editor = WaitForEditor("Kelvorantumix");
    ASSERT_NE(editor, 0u) << jalv->Output();
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.25); }));
    // Presets, Init (the last entry): the host sets every control port and tells the UI.
    const Window top = session->TopLevelsTitled("Kelvorantumix").front();
    Click(top, 20, 12);
    Pause(300);
    session->TapKey("Right");
    Pause(300);
    session->TapKey("Up");
    session->TapKey("Return");
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }, 10000))
        << jalv->Output();
}

TEST_F(Lv2JalvTest, Gtk3SavesTheValueADragGaveTheControlPortAndThePlugInsState) {
    StartJalv({"jalv.gtk3", "-c", "drive=0.25", kStereoUri});
    const Window editor = WaitForEditor("Kelvorantumix");
    ASSERT_NE(editor, 0u) << jalv->Output();
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.25); }));
    DragDriveUp(editor);
    ASSERT_TRUE(WaitFor([&] { return !ShowsKnob(editor, DriveKnob(), 0.25); }));

    // File, Save, into a new folder "saved": the host saves its control ports and the
    // plug-in's state.
    const Window top = session->TopLevelsTitled("Kelvorantumix").front();
    Click(top, 20, 12);
    Pause(300);
    session->TapKey("Down");
    session->TapKey("Return");
    Window dialog = 0;
    ASSERT_TRUE(WaitFor([&] {
        const auto dialogs = session->TopLevelsTitled("Save State");
        dialog = dialogs.empty() ? 0 : dialogs.front();
        return dialog != 0;
    }));
    Pause(300);
    session->MovePointer(dialog, 50, 50);
    session->TypeText("saved");
    Pause(300);
    session->TapKey("Return");
    const std::string folder = work + "/saved";
    ASSERT_TRUE(WaitFor([&] { return access((folder + "/state.ttl").c_str(), R_OK) == 0; }, 10000))
        << jalv->Output();
    Pause(200);
    const std::string state = ReadFile(folder + "/state.ttl");
    for (const char* name : {"/state.ttl", "/manifest.ttl"}) {
        unlink((folder + name).c_str());
    }
    rmdir(folder.c_str());

    std::smatch port;
    ASSERT_TRUE(std::regex_search(state, port,
                                  std::regex("lv2:symbol \"drive\" ;\\s*pset:value ([0-9.]+)")))
        << state;
    const double drive = std::stod(port[1]);
    EXPECT_GT(drive, 0.3) << state;
    EXPECT_TRUE(ShowsKnob(editor, DriveKnob(), drive));
    // The plug-in's own state, the VST module's chunk, holds the value the port gave it.
    std::smatch chunk;
    ASSERT_TRUE(std::regex_search(state, chunk, std::regex("\"\"\"([A-Za-z0-9+/=\\s]+)\"\"\"")))
        << state;
    const std::vector<unsigned char> bytes = DecodeBase64(chunk[1]);
    ASSERT_EQ(bytes.size(), 64u);
    double saved = 0.0;
    std::memcpy(&saved, bytes.data() + 8 + sizeof(double) * kDrive, sizeof saved);
    EXPECT_EQ(saved, double(float(drive)));
}

TEST_F(Lv2JalvTest, ConsoleJalvShowsTheUiInAWindowOfItsOwnUntilTheUserClosesIt) {
    StartJalv({"jalv", "-s", kStereoUri});
    const Window editor = WaitForEditor("Kelvorantumix");
    ASSERT_NE(editor, 0u) << jalv->Output();
    const Window vstEditor = VstEditorAt(700, 400);
    EXPECT_TRUE(WaitFor([&] { return PanelMismatch(editor, vstEditor) == 0; }))
        << PanelMismatch(editor, vstEditor) << " pixels differ from the VST editor";
    // The close button: idle() says the UI was closed and jalv hides it; jalv itself runs on
    // until it is told to end.
    session->RequestClose(session->TopLevelsTitled("Kelvorantumix").front());
    EXPECT_TRUE(WaitFor([&] { return session->TopLevelsTitled("Kelvorantumix").empty(); }));
    EXPECT_TRUE(jalv->Running()) << jalv->Output();
    EXPECT_EQ(jalv->Stop(15000), 0) << jalv->Output();
}
