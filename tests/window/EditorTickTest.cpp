#include "editor/EditorTick.h"
#include "PlugWithEditor.h"
#include "editor/KeyTable.h"
#include "editor/TextEntry.h"

TEST(KeyTable, MapsTheEditorsKeysAndNothingElse) {
    EXPECT_EQ(KeyNumberForKey(WindowKey::kSpace), 0);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kUp), 1);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kDown), 2);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kLeft), 3);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kRight), 4);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kDigit0), 5);
    EXPECT_EQ(KeyNumberForKey(WindowKey(int(WindowKey::kDigit0) + 7)), 12);
    EXPECT_EQ(KeyNumberForKey(WindowKey(int(WindowKey::kDigit0) + 9)), 14);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kLetterA), 15);
    EXPECT_EQ(KeyNumberForKey(WindowKey::kLetterZ), 40);
    for (const WindowKey outside : {WindowKey::kNone, WindowKey::kBackspace, WindowKey::kReturn,
                                    WindowKey(int(WindowKey::kLetterZ) + 1)}) {
        EXPECT_EQ(KeyNumberForKey(outside), -1) << int(outside);
    }
}

TEST(EditorTiming, TickPeriodAndWheelNotches) {
    EXPECT_EQ(TickPeriodMs(24), 41);
    EXPECT_EQ(TickPeriodMs(0), 41);
    EXPECT_EQ(TickPeriodMs(50), 20);
    EXPECT_EQ(WheelNotches(119), 0);
    EXPECT_EQ(WheelNotches(-119), 0);
    EXPECT_EQ(WheelNotches(120), 1);
    EXPECT_EQ(WheelNotches(-240), -2);
    EXPECT_EQ(WheelNotches(359), 2);
}

using EditorTick = PlugWithEditor;

TEST_F(EditorTick, CollectsDirtyControlsAndAsksAnOpenEntryToRefresh) {
    TextEntry entry;
    TickResult tick = RunEditorTick(*editor, entry);
    ASSERT_TRUE(tick.repaint); // everything is dirty at first
    for (int i = 0; i < 3 && tick.repaint; ++i) {
        editor->RedrawArea(tick.area);
        tick = RunEditorTick(*editor, entry);
    }
    EXPECT_FALSE(tick.repaint);

    IControl* level = ControlOf(PlugExample::kLevel);
    ASSERT_TRUE(entry.Begin(level, plug->GetParam(PlugExample::kLevel)));
    plug->Effect()->setParameter(plug->Effect(), PlugExample::kLevel, 0.75f);
    tick = RunEditorTick(*editor, entry);
    EXPECT_TRUE(tick.repaint);
    EXPECT_EQ(tick.area.Union(level->Rect()), tick.area);
    EXPECT_EQ(entry.State(), RefreshText);

    // The next tick refreshes the text and draws nothing.
    tick = RunEditorTick(*editor, entry);
    EXPECT_FALSE(tick.repaint);
    EXPECT_EQ(entry.State(), Idle);
    EXPECT_EQ(entry.Text(), "0.750");
}

TEST_F(EditorTick, CommitWritesTheTypedValueThroughTheControlAndEndsTheEntry) {
    TextEntry entry;
    IControl* level = ControlOf(PlugExample::kLevel);
    ASSERT_TRUE(entry.Begin(level, plug->GetParam(PlugExample::kLevel)));
    entry.FocusChanged(true);
    for (const char c : std::string("0.25")) {
        entry.Type(c);
    }
    entry.Return();
    HostCallLog::Instance().Clear();
    EXPECT_FALSE(RunEditorTick(*editor, entry).repaint);
    EXPECT_FALSE(entry.IsOpen());
    EXPECT_EQ(entry.State(), Idle);
    EXPECT_DOUBLE_EQ(plug->GetParam(PlugExample::kLevel)->Value(), 0.25);
    EXPECT_DOUBLE_EQ(level->Value(), 0.25);
    const auto automated = HostCallLog::Instance().With(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, PlugExample::kLevel);
    EXPECT_FLOAT_EQ(automated[0].opt, 0.25f);
}

TEST_F(EditorTick, CancelEndsTheEntryWithoutWriting) {
    TextEntry entry;
    ASSERT_TRUE(entry.Begin(ControlOf(PlugExample::kDrive), plug->GetParam(PlugExample::kDrive)));
    entry.Type('1');
    entry.SetState(Cancel);
    HostCallLog::Instance().Clear();
    RunEditorTick(*editor, entry);
    EXPECT_FALSE(entry.IsOpen());
    EXPECT_DOUBLE_EQ(plug->GetParam(PlugExample::kDrive)->Value(), 0.5);
    EXPECT_TRUE(HostCallLog::Instance().With(audioMasterAutomate).empty());
    // A new entry may begin after that.
    EXPECT_TRUE(entry.Begin(ControlOf(PlugExample::kDrive), plug->GetParam(PlugExample::kDrive)));
}

TEST_F(EditorTick, AChoiceFromTheDisplayTextsCommitsItsValue) {
    TextEntry entry;
    IParameter* effect = plug->GetParam(PlugExample::kEffect);
    IControl* level = ControlOf(PlugExample::kLevel);
    // Any control will do as the one the value goes through; the parameter decides the list.
    ASSERT_TRUE(entry.Begin(level, effect));
    ASSERT_EQ(entry.View().items, (std::vector<std::string>{"Off", "On"}));
    EXPECT_EQ(entry.View().selected, 1);
    entry.Choose(0);
    EXPECT_EQ(entry.State(), Commit);
    EXPECT_DOUBLE_EQ(entry.PlainValue(), 0.0);
    RunEditorTick(*editor, entry);
    EXPECT_DOUBLE_EQ(level->Value(), effect->NormalizedOf(0.0));
}
