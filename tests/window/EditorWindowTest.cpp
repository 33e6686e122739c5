// The editor window driven as a user drives it: real X events through the XTest extension, the
// host's calls recorded, the pixels read back from the screen.

#include "HostedEditor.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace {

bool Near(double a, double b) {
    return std::fabs(a - b) < 1e-4;
}

} // namespace

TEST_F(HostedEditor, OpensAChildOfTheHostsWindowAtTheEditorsSizeShowingThePanel) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    int x, y, w, h;
    ASSERT_TRUE(session->Geometry(editor, &x, &y, &w, &h));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }))
        << KnobMismatch(editor, DriveKnob(), 0.5) << " pixels differ";
    EXPECT_TRUE(ShowsKnob(editor, LevelKnob(), 0.5));

    plugin->Dispatch(effEditClose);
    EXPECT_TRUE(session->Children(parent).empty());
}

TEST_F(HostedEditor, DraggingDriveUpRaisesItAndTellsTheHostTheWholeGesture) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }));
    plugin->ClearCalls();

    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Drag(editor, cx, cy, cx, cy - 40);

    ASSERT_TRUE(WaitFor([&] { return CallsWith(*plugin, audioMasterEndEdit, kDrive) == 1; }));
    EXPECT_EQ(CallsWith(*plugin, audioMasterBeginEdit, kDrive), 1);
    EXPECT_GE(CallsWith(*plugin, audioMasterAutomate, kDrive), 1);
    const auto calls = plugin->Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls.back().opcode, audioMasterEndEdit);
    const double drive = plugin->GetParameter(kDrive);
    EXPECT_GT(drive, 0.6);
    EXPECT_NEAR(plugin->Calls()[calls.size() - 2].opt, drive, 1e-6);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), drive); }));
    EXPECT_EQ(plugin->GetParameter(kLevel), 0.5f);
}

TEST_F(HostedEditor, ADragThatWaitsForTheHostIsNotCutShortByTheMovesAfterIt) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }));
    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    // The editor waits on the host at the press, so it finds the rest of the gesture and the
    // moves after it all waiting.
    plugin->AnswerSlowly(audioMasterBeginEdit, 200);
    session->MovePointer(editor, cx, cy);
    session->Button(1, true);
    session->MovePointer(editor, cx, cy - 40);
    session->Button(1, false);
    session->MovePointer(editor, cx, cy + 100);
    session->MovePointer(editor, cx + 100, cy + 100);
    session->Flush();
    ASSERT_TRUE(WaitFor([&] { return CallsWith(*plugin, audioMasterEndEdit, kDrive) == 1; }));
    EXPECT_GT(plugin->GetParameter(kDrive), 0.6f);
}

TEST_F(HostedEditor, WheelStepsAndDoubleClickReachTheKnob) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Click(editor, cx, cy, 4);
    Click(editor, cx, cy, 4);
    ASSERT_TRUE(WaitFor([&] { return Near(plugin->GetParameter(kDrive), 0.52); }))
        << plugin->GetParameter(kDrive);
    Click(editor, cx, cy, 5);
    ASSERT_TRUE(WaitFor([&] { return Near(plugin->GetParameter(kDrive), 0.51); }));

    plugin->SetParameter(kDrive, 0.9f);
    Pause(600); // apart from the wheel clicks, so the next two make a double click of their own
    Click(editor, cx, cy);
    Click(editor, cx, cy);
    EXPECT_TRUE(WaitFor([&] { return Near(plugin->GetParameter(kDrive), 0.5); }))
        << plugin->GetParameter(kDrive);
}

TEST_F(HostedEditor, AFootswitchHeldAcrossTicksSwitchesTheEffect) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    ASSERT_EQ(plugin->GetParameter(kEffect), 1.0f);
    session->MovePointer(editor, kEffectSwitchX, kEffectSwitchY);
    session->Button(1, true);
    session->Flush();
    Pause(150);
    session->Button(1, false);
    session->Flush();
    EXPECT_TRUE(WaitFor([&] { return plugin->GetParameter(kEffect) == 0.0f; }));
    EXPECT_EQ(plugin->ParamDisplay(kEffect), "Off");
}

TEST_F(HostedEditor, RightClickLetsTheUserTypeAValue) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    const IRectangle knob = LevelKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Click(editor, cx, cy, 3);
    ASSERT_TRUE(WaitFor([&] { return session->Children(editor).size() == 1; }));
    const Window popup = session->Children(editor).front();
    int x, y, w, h;
    ASSERT_TRUE(session->Geometry(popup, &x, &y, &w, &h));
    EXPECT_GE(w, 36);
    EXPECT_GE(h, 16);
    EXPECT_LE(std::abs(x + w / 2 - cx), 1);
    EXPECT_LE(std::abs(y + h / 2 - cy), 1);

    plugin->ClearCalls();
    Click(popup, w / 2, h / 2);
    // Keys typed before the popup takes the focus would go elsewhere (slow machines, emulation).
    ASSERT_TRUE(WaitFor([&] { return session->FocusedWindow() == popup; }));
    session->TypeText("0.25");
    session->TapKey("Return");
    ASSERT_TRUE(WaitFor([&] { return Near(plugin->GetParameter(kLevel), 0.25); }))
        << plugin->GetParameter(kLevel);
    EXPECT_TRUE(WaitFor([&] { return session->Children(editor).empty(); }));
    EXPECT_GE(CallsWith(*plugin, audioMasterAutomate, kLevel), 1);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, LevelKnob(), 0.25); }));
}

TEST_F(HostedEditor, ARightClickOnTheEditorCancelsTheTyping) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    const IRectangle knob = LevelKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Click(editor, cx, cy, 3);
    ASSERT_TRUE(WaitFor([&] { return session->Children(editor).size() == 1; }));
    const Window popup = session->Children(editor).front();
    Click(popup, 5, 5);
    ASSERT_TRUE(WaitFor([&] { return session->FocusedWindow() == popup; }));
    session->TypeText("0.9");
    Pause(100);
    Click(editor, 200, 300, 3);
    EXPECT_TRUE(WaitFor([&] { return session->Children(editor).empty(); }));
    Pause(100);
    EXPECT_EQ(plugin->GetParameter(kLevel), 0.5f);
}

TEST_F(HostedEditor, ReopeningWhileOpenKeepsPositionAndSize) {
    const Window first = OpenEditor(*plugin, parent);
    ASSERT_NE(first, 0u);
    session->MoveWindow(first, 12, 34);
    Pause(200); // the editor's thread sees where its window went
    ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    // The server may hand the new connection the old one's window id: one child either way.
    const auto children = session->Children(parent);
    ASSERT_EQ(children.size(), 1u);
    const Window second = children.front();
    int x, y, w, h;
    ASSERT_TRUE(session->Geometry(second, &x, &y, &w, &h));
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 34);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(second, DriveKnob(), 0.5); }));
}

TEST_F(HostedEditor, OpensAndClosesFiftyTimesAndStillWorks) {
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(plugin->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1) << i;
        if (i % 10 == 0) {
            Pause(60); // now and then long enough for a tick
        }
        ASSERT_EQ(plugin->Dispatch(effEditClose), 1) << i;
    }
    EXPECT_TRUE(session->Children(parent).empty());
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    plugin->SetParameter(kDrive, 0.75f);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.75); }));
}

TEST_F(HostedEditor, ClosingWithThePopupOpenAllowsANewOneAfterReopening) {
    Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    const IRectangle knob = LevelKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Click(editor, cx, cy, 3);
    ASSERT_TRUE(WaitFor([&] { return session->Children(editor).size() == 1; }));
    Click(session->Children(editor).front(), 5, 5);
    Pause(50);
    plugin->Dispatch(effEditClose);
    EXPECT_TRUE(session->Children(parent).empty());

    editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    Pause(100);
    Click(editor, cx, cy, 3);
    EXPECT_TRUE(WaitFor([&] { return session->Children(editor).size() == 1; }));
}

TEST_F(HostedEditor, TwoInstancesEditorsWorkSideBySide) {
    auto other = NewPlugin();
    ASSERT_TRUE(other);
    const Window otherParent = session->CreateTopLevel("kvx window test 2", kWidth, kHeight);
    session->MoveWindow(otherParent, 500, 0);
    const Window mine = OpenEditor(*plugin, parent);
    const Window theirs = OpenEditor(*other, otherParent);
    ASSERT_NE(mine, 0u);
    ASSERT_NE(theirs, 0u);

    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    Drag(theirs, cx, cy, cx, cy + 40);
    ASSERT_TRUE(WaitFor([&] { return CallsWith(*other, audioMasterEndEdit, kDrive) == 1; }));
    Drag(mine, cx, cy, cx, cy - 40);
    ASSERT_TRUE(WaitFor([&] { return CallsWith(*plugin, audioMasterEndEdit, kDrive) == 1; }));
    const double up = plugin->GetParameter(kDrive), down = other->GetParameter(kDrive);
    EXPECT_GT(up, 0.6);
    EXPECT_LT(down, 0.4);
    EXPECT_TRUE(
        WaitFor([&] { return ShowsKnob(mine, knob, up) && ShowsKnob(theirs, knob, down); }));

    other->Dispatch(effEditClose);
    other.reset();
    session->DestroyWindow(otherParent);
    plugin->SetParameter(kDrive, 0.1f);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(mine, knob, 0.1); }));
}

TEST_F(HostedEditor, HostChangesFromOtherThreadsWhileTheEditorRuns) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        for (int i = 0; !stop; ++i) {
            plugin->SetParameter(kDrive, float(i % 100) / 100.0f);
            plugin->SetParameter(kEffect, float(i % 2));
            std::this_thread::yield();
        }
    });
    std::thread audio([&] {
        std::vector<float> in(512, 0.1f), outL(512), outR(512);
        float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        while (!stop) {
            plugin->ProcessFloat(inputs, outputs, 512);
        }
    });
    const IRectangle knob = LevelKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    for (int i = 0; i < 5; ++i) {
        Drag(editor, cx, cy, cx, cy - 10);
    }
    Pause(300);
    stop = true;
    automation.join();
    audio.join();
    EXPECT_TRUE(WaitFor([&] { return plugin->GetParameter(kLevel) > 0.5f; }));
    plugin->SetParameter(kDrive, 0.3f);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.3); }));
}

TEST_F(HostedEditor, UncoveredPartsArePaintedAgain) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    ASSERT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }));
    const Window cover = session->CreateTopLevel("cover", kWidth, kHeight);
    Pause(100);
    session->DestroyWindow(cover);
    EXPECT_TRUE(WaitFor([&] { return ShowsKnob(editor, DriveKnob(), 0.5); }));
}

TEST_F(HostedEditor, AHostThatDestroysItsWindowFirstStillClosesCleanly) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    session->DestroyWindow(parent);
    parent = 0;
    plugin->SetParameter(kDrive, 0.2f); // a repaint into the vanished window
    Pause(150);
    EXPECT_EQ(plugin->Dispatch(effEditClose), 1);
    parent = session->CreateTopLevel("kvx window test", kWidth, kHeight);
    EXPECT_NE(OpenEditor(*plugin, parent), 0u);
}

TEST_F(HostedEditor, ANonWindowParentIsRefused) {
    EXPECT_EQ(plugin->Dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(plugin->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x7fffff)), 0);
    EXPECT_NE(OpenEditor(*plugin, parent), 0u);
}

TEST_F(HostedEditor, ClosingThePlugInWithTheEditorOpenStopsTheEditorFirst) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    session->MovePointer(editor, cx, cy);
    session->Button(1, true);
    session->Flush();
    plugin->Close();
    session->Button(1, false);
    session->Flush();
    EXPECT_TRUE(session->Children(parent).empty());
    plugin.reset();
}

TEST_F(HostedEditor, ClosingTheEditorMidDragEndsTheHostsEdit) {
    const Window editor = OpenEditor(*plugin, parent);
    ASSERT_NE(editor, 0u);
    plugin->ClearCalls();
    const IRectangle knob = DriveKnob();
    const int cx = (knob.left + knob.right) / 2, cy = (knob.top + knob.bottom) / 2;
    session->MovePointer(editor, cx, cy);
    session->Button(1, true);
    session->Flush();
    ASSERT_TRUE(WaitFor([&] { return CallsWith(*plugin, audioMasterBeginEdit, kDrive) == 1; }));
    session->MovePointer(editor, cx, cy - 20);
    session->Flush();
    ASSERT_TRUE(WaitFor([&] { return CallsWith(*plugin, audioMasterAutomate, kDrive) >= 1; }));

    plugin->Dispatch(effEditClose);
    EXPECT_EQ(CallsWith(*plugin, audioMasterEndEdit, kDrive), 1);
    session->Button(1, false);
    session->Flush();
    Pause(50);
    EXPECT_EQ(CallsWith(*plugin, audioMasterEndEdit, kDrive), 1);
    EXPECT_EQ(plugin->Calls().back().opcode, audioMasterEndEdit);
}
