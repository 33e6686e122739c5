// The LV2 UI hosted in process as an LV2 host hosts it, on the virtual display, beside the VST
// module's editor: the same panel, driven through the host's write function and port events.

#include "BesideVstEditor.h"
#include "Lv2UiHost.h"

#include <dirent.h>

#include <cmath>

namespace {

const std::string kUiBinary = KVX_LV2_UI_BINARY;

// Entries of a /proc folder of this process: its threads, its open files.
int CountEntries(const char* folder) {
    int count = 0;
    if (DIR* dir = opendir(folder)) {
        while (readdir(dir)) {
            ++count;
        }
        closedir(dir);
    }
    return count;
}

class Lv2UiTest : public BesideVstEditor {
protected:
    Lv2UiHost::Offer InParent() const {
        Lv2UiHost::Offer offer;
        offer.parent = parent;
        return offer;
    }
    // The port events a host sends a new UI: every control's value.
    static void SendDefaults(Lv2UiHost& ui) {
        const float defaults[] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f};
        for (std::uint32_t port = 0; port < 7; ++port) {
            ui.PortEvent(port, defaults[port]);
        }
    }
    static bool EndsGesture(const std::vector<Lv2UiHost::Call>& calls, std::uint32_t port) {
        return !calls.empty() && calls.back().kind == Lv2UiHost::Call::kTouch &&
               calls.back().port == port && !calls.back().grabbed;
    }
};

} // namespace

TEST_F(Lv2UiTest, EmbedsThePanelInTheParentWithTheVstEditorsPixels) {
    Lv2UiHost ui(kUiBinary, InParent());
    ASSERT_TRUE(ui.Valid());
    SendDefaults(ui);
    const Window editor = ui.Widget();
    ASSERT_NE(editor, 0u);
    EXPECT_EQ(session->Children(parent), std::vector<Window>{editor});
    int x, y, w, h;
    ASSERT_TRUE(session->Geometry(editor, &x, &y, &w, &h));
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    EXPECT_EQ(ui.ResizedWidth(), kWidth);
    EXPECT_EQ(ui.ResizedHeight(), kHeight);

    const Window vstEditor = VstEditorAt(kWidth + 40, 0);
    ASSERT_NE(vstEditor, 0u);
    EXPECT_TRUE(WaitFor([&] { return PanelMismatch(editor, vstEditor) == 0; }))
        << PanelMismatch(editor, vstEditor) << " pixels differ";

    // Host-side changes: the knob moves and the Effect LED goes out, as on the VST editor.
    ui.PortEvent(kDrive, 0.9f);
    ui.PortEvent(kEffect, 0.0f);
    plugin->SetParameter(kDrive, 0.9f);
    plugin->SetParameter(kEffect, 0.0f);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.9); }));
    EXPECT_TRUE(WaitFor([&] { return PanelMismatch(editor, vstEditor) == 0; }))
        << PanelMismatch(editor, vstEditor) << " pixels differ";
    EXPECT_TRUE(ui.Calls().empty()) << "a host's change is not sent back to it";
}

TEST_F(Lv2UiTest, DraggingDriveWritesItsPortBetweenTouches) {
    Lv2UiHost ui(kUiBinary, InParent());
    ASSERT_TRUE(ui.Valid());
    SendDefaults(ui);
    const Window editor = ui.Widget();
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }));
    DragDriveUp(editor);
    ASSERT_TRUE(WaitFor([&] { return EndsGesture(ui.Calls(), kDrive); }));
    const auto calls = ui.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().kind, Lv2UiHost::Call::kTouch);
    EXPECT_TRUE(calls.front().grabbed);
    float last = 0.5f;
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
        ASSERT_EQ(calls[i].kind, Lv2UiHost::Call::kWrite);
        EXPECT_EQ(calls[i].port, std::uint32_t(kDrive));
        EXPECT_GE(calls[i].value, last);
        last = calls[i].value;
    }
    EXPECT_GT(last, 0.6f);
    EXPECT_LE(last, 1.0f);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), last); }));
}

TEST_F(Lv2UiTest, AHostThatCallsIdleHearsTheEditsFromItsOwnThread) {
    Lv2UiHost::Offer offer = InParent();
    offer.idle = true;
    Lv2UiHost ui(kUiBinary, offer);
    ASSERT_TRUE(ui.Valid());
    SendDefaults(ui);
    const Window editor = ui.Widget();
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }));
    DragDriveUp(editor);
    // The knob follows the mouse at once; the host hears of it when it next calls idle().
    ASSERT_TRUE(WaitFor([&] { return !ShowsKnob(editor, DriveKnob(), 0.5); }));
    Pause(100);
    EXPECT_TRUE(ui.Calls().empty());
    ASSERT_TRUE(WaitFor([&] {
        EXPECT_EQ(ui.Idle(), 0);
        return EndsGesture(ui.Calls(), kDrive);
    }));
    const auto calls = ui.Calls();
    EXPECT_TRUE(calls.front().kind == Lv2UiHost::Call::kTouch && calls.front().grabbed);
    for (const auto& call : calls) {
        EXPECT_EQ(call.thread, std::this_thread::get_id());
    }
}

TEST_F(Lv2UiTest, OpeningAndClosingFiftyTimesLeavesNothingBehind) {
    // A first UI warms up what lives as long as the process (fonts, the X library's state).
    {
        Lv2UiHost ui(kUiBinary, InParent());
        ASSERT_TRUE(ui.Valid());
    }
    const int threads = CountEntries("/proc/self/task");
    const int files = CountEntries("/proc/self/fd");
    for (int i = 0; i < 50; ++i) {
        Lv2UiHost ui(kUiBinary, InParent());
        ASSERT_TRUE(ui.Valid()) << i;
        SendDefaults(ui);
        if (i % 10 == 0) {
            const Window editor = ui.Widget();
            ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); })) << i;
        }
    }
    EXPECT_TRUE(session->Children(parent).empty());
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
    EXPECT_EQ(CountEntries("/proc/self/fd"), files);
}

TEST_F(Lv2UiTest, WithoutAParentShowOpensAWindowOfItsOwnUntilTheUserClosesIt) {
    Lv2UiHost::Offer offer;
    offer.idle = true;
    Lv2UiHost ui(kUiBinary, offer);
    ASSERT_TRUE(ui.Valid());
    EXPECT_EQ(ui.Widget(), 0u);
    EXPECT_TRUE(session->TopLevelsTitled("Kelvorantumix").empty());
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(ui.Show(), 0);
        ASSERT_TRUE(WaitFor([&] { return session->TopLevelsTitled("Kelvorantumix").size() == 1; }));
        const Window own = session->TopLevelsTitled("Kelvorantumix").front();
        ASSERT_EQ(session->Children(own).size(), 1u);
        const Window editor = session->Children(own).front();
        ui.PortEvent(kDrive, 0.25f);
        EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.25); }));
        EXPECT_EQ(ui.Idle(), 0);
        session->RequestClose(own);
        EXPECT_TRUE(WaitFor([&] { return ui.Idle() != 0; }));
        EXPECT_TRUE(WaitFor([&] { return session->TopLevelsTitled("Kelvorantumix").empty(); }));
        EXPECT_EQ(ui.Hide(), 0);
    }
}

TEST_F(Lv2UiTest, PortEventsThatAreNotAControlsValueChangeNothing) {
    Lv2UiHost ui(kUiBinary, InParent());
    ASSERT_TRUE(ui.Valid());
    SendDefaults(ui);
    const Window editor = ui.Widget();
    const float value = 0.9f;
    const double wide = 0.9;
    ui.PortEvent(7, value);
    ui.PortEvent(1000, value);
    ui.PortEvent(0xFFFFFFFFu, value);
    ui.RawPortEvent(kDrive, sizeof value, 1, &value);
    ui.RawPortEvent(kDrive, sizeof wide, 0, &wide);
    ui.RawPortEvent(kDrive, sizeof value, 0, nullptr);
    ui.PortEvent(kDrive, std::nanf(""));
    Pause(200);
    EXPECT_TRUE(ShowsKnob(editor, DriveKnob(), 0.5));
    ui.PortEvent(kDrive, INFINITY);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 1.0); }));
    ui.PortEvent(kDrive, -5.0f);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.0); }));
    EXPECT_TRUE(ui.Calls().empty());
}
