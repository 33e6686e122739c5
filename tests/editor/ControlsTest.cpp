#include "EditorFixture.h"
#include "editor/IBitmapOverlayControl.h"
#include "editor/IContactControlNoDblClick.h"
#include "editor/IInvisibleToggle.h"
#include "editor/IKnobMultiControl.h"
#include "editor/StompSwitch.h"

#include <cmath>

using Controls = EditorFixture;

namespace {

IMouseKeys Right() {
    IMouseKeys keys;
    keys.right = true;
    return keys;
}

IMouseKeys Shift() {
    IMouseKeys keys;
    keys.left = true;
    keys.shift = true;
    return keys;
}

IMouseKeys Control() {
    IMouseKeys keys;
    keys.control = true;
    return keys;
}

} // namespace

TEST_F(Controls, KnobDragMovesTheParameterInsideOneEditGesture) {
    auto* knob = new IKnobMultiControl(&plug, 20, 10, 0, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(knob);
    Attach();
    ASSERT_EQ(knob->Rect(), IRectangle(20, 10, 100, 90));
    EXPECT_EQ(knob->Value(), 0.25);

    IMouseKeys left;
    left.left = true;
    graphics->MouseDown(50, 50, left);
    ASSERT_EQ(Heard(audioMasterBeginEdit).size(), 1u);
    EXPECT_EQ(Heard(audioMasterBeginEdit)[0].index, 0);

    // One knob height upwards at gearing 4 is a quarter of the range.
    graphics->MouseDrag(50, -30, left);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.5);
    EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.5);
    graphics->MouseDrag(50, -30, left);
    EXPECT_EQ(Heard(audioMasterAutomate).size(), 1u) << "a drag to the same point is dropped";

    // The modifiers make the drag ten times coarser: 8 pixels are another quarter.
    graphics->MouseDrag(50, -38, Shift());
    EXPECT_DOUBLE_EQ(knob->Value(), 0.75);
    // Far past the top it stays at the maximum; outside the knob the drag still reaches it.
    graphics->MouseDrag(300, -500, left);
    EXPECT_EQ(knob->Value(), 1.0);
    graphics->MouseDrag(300, -420, left);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.75) << "dragging down by one height takes 0.25";

    graphics->MouseUp(300, -420, left);
    ASSERT_EQ(Heard(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(Heard(audioMasterEndEdit)[0].index, 0);
    const auto automated = Heard(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 4u);
    EXPECT_FLOAT_EQ(automated.back().opt, 0.75f);
    EXPECT_EQ(graphics->CaptureIndex(), -1);

    graphics->MouseDrag(300, 0, left);
    EXPECT_DOUBLE_EQ(knob->Value(), 0.75) << "no drag without a captured control";
}

TEST_F(Controls, WheelDoubleClickAndValueEntry) {
    auto* knob = new IKnobMultiControl(&plug, 0, 0, 1, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(knob);
    auto* unbound =
        new IKnobMultiControl(&plug, 100, 0, -1, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(unbound);

    graphics->MouseDoubleClick(10, 10, IMouseKeys());
    EXPECT_EQ(knob->Value(), 0.0) << "no default before the plug-in pushed a value";

    Attach();
    graphics->MouseWheel(10, 10, IMouseKeys(), 3);
    EXPECT_NEAR(knob->Value(), 0.28, 1e-12);
    graphics->MouseWheel(10, 10, Control(), -2);
    EXPECT_NEAR(knob->Value(), 0.278, 1e-12);
    EXPECT_NEAR(plug.GetParam(1)->Value(), 0.278, 1e-12);
    EXPECT_EQ(Heard(audioMasterAutomate).size(), 2u);
    EXPECT_TRUE(Heard(audioMasterBeginEdit).empty()) << "the wheel is no edit gesture";
    EXPECT_TRUE(Heard(audioMasterEndEdit).empty());

    EXPECT_FALSE(graphics->MouseDoubleClick(10, 10, IMouseKeys()));
    EXPECT_EQ(knob->Value(), 0.25) << "double click restores the first pushed value";
    EXPECT_EQ(plug.GetParam(1)->Value(), 0.25);

    Click(10, 10, Right());
    ASSERT_EQ(graphics->entries.size(), 1u);
    EXPECT_EQ(graphics->entries[0].control, knob);
    EXPECT_EQ(graphics->entries[0].param, plug.GetParam(1));
    EXPECT_EQ(knob->Value(), 0.25) << "a right click does not move a knob";

    Click(110, 10, Right());
    EXPECT_EQ(graphics->entries.size(), 1u) << "nothing to enter without a parameter";
}

TEST_F(Controls, PluginValuesAreShownButNotSentBack) {
    auto* knob = new IKnobMultiControl(&plug, 0, 0, 2, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(knob);
    Attach();
    EXPECT_EQ(knob->DefaultValue(), 0.25);
    Tick();
    EXPECT_TRUE(knob->NeedsRedraw()) << "a pushed value asks for one more redraw";
    Tick();
    EXPECT_FALSE(knob->NeedsRedraw());

    knob->ApplyPlugValue(0.25);
    EXPECT_FALSE(knob->NeedsRedraw()) << "an equal value changes nothing";
    plug.Effect()->setParameter(plug.Effect(), 2, 0.5f);
    EXPECT_EQ(knob->Value(), 0.5);
    EXPECT_TRUE(knob->NeedsRedraw());
    EXPECT_EQ(knob->DefaultValue(), 0.25) << "only the first push sets the default";
    EXPECT_TRUE(Heard(audioMasterAutomate).empty());

    knob->ApplyPlugValue(1.0000001);
    EXPECT_EQ(knob->Value(), 1.0);
    knob->ApplyPlugValue(std::nan(""));
    EXPECT_EQ(knob->Value(), 0.0);
}

TEST_F(Controls, KnobFramesFollowTheValue) {
    auto* knob = new IKnobMultiControl(&plug, 0, 0, 0, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(knob);
    Attach();
    const int frameHeight = 80;
    const struct {
        double value;
        int frame;
    } cases[] = {{0.0, 1}, {0.5, 33}, {1.0, 65}, {0.0078, 1}, {0.0079, 2}};
    for (const auto& c : cases) {
        knob->ApplyPlugValue(c.value);
        graphics->blits.clear();
        graphics->RedrawArea(IRectangle(0, 0, 465, 336));
        ASSERT_EQ(graphics->blits.size(), 1u);
        EXPECT_EQ(graphics->blits[0].srcY, (c.frame - 1) * frameHeight) << c.value;
        EXPECT_EQ(graphics->blits[0].dest, IRectangle(0, 0, 80, 80));
        EXPECT_EQ(graphics->blits[0].mode, BlendNone);
    }
}

TEST_F(Controls, SwitchStepsThroughItsFramesAndWraps) {
    auto* switch3 = new ISwitchControl(&plug, 0, 0, 0, Bitmap(7, 3), BlendNone);
    graphics->AddControl(switch3);
    Attach();
    switch3->ApplyPlugValue(0.0);
    std::vector<double> seen;
    for (int i = 0; i < 4; ++i) {
        Click(5, 5);
        seen.push_back(switch3->Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
    EXPECT_EQ(plug.GetParam(0)->Value(), 0.5);
    Click(5, 5, Right());
    EXPECT_EQ(switch3->Value(), 0.5) << "a right click asks for entry and does not step";
    EXPECT_EQ(graphics->entries.size(), 1u);
}

TEST_F(Controls, FootswitchLatchesOncePerPressSeenByATick) {
    auto* toggle = new IInvisibleToggle(&plug, IRectangle(330, 241, 360, 271), 1);
    graphics->AddControl(toggle);
    graphics->HideParamControls(1, true);
    auto* stomp = new StompSwitch(&plug, graphics, 330, 241, Bitmap(100, 2), toggle);
    IContactControlNoDblClick* button = stomp->Button();
    ASSERT_EQ(graphics->GetControl(1), button);
    EXPECT_EQ(button->Rect(), IRectangle(330, 241, 370, 281));
    Attach();
    plug.Effect()->setParameter(plug.Effect(), 1, 0.0f);
    Tick();

    IMouseKeys left;
    left.left = true;
    graphics->MouseDown(340, 250, left);
    EXPECT_EQ(button->Value(), 1.0) << "pressed frame while held";
    Tick();
    Tick();
    Tick();
    EXPECT_EQ(toggle->Value(), 1.0);
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
    graphics->MouseUp(340, 250, left);
    EXPECT_EQ(button->Value(), 0.0);
    Tick();
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0) << "held across ticks toggles once";
    EXPECT_TRUE(Heard(audioMasterBeginEdit).empty()) << "the button has no parameter";
    EXPECT_EQ(Heard(audioMasterAutomate).size(), 1u);

    Click(340, 250);
    Tick();
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0) << "a press released before the tick is not seen";

    // A double click on the button is a second press, so a quick double stomp toggles twice.
    graphics->MouseDown(340, 250, left);
    Tick();
    graphics->MouseUp(340, 250, left);
    Tick();
    EXPECT_TRUE(graphics->MouseDoubleClick(340, 250, left));
    Tick();
    graphics->MouseUp(340, 250, left);
    Tick();
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
    EXPECT_EQ(Heard(audioMasterAutomate).size(), 3u);

    // A change from the host reaches the hidden toggle, so the next press flips from there.
    plug.Effect()->setParameter(plug.Effect(), 1, 0.0f);
    graphics->MouseDown(340, 250, left);
    Tick();
    graphics->MouseUp(340, 250, left);
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
}

TEST_F(Controls, HiddenAndGrayedControlsPassClicksToWhatIsUnderneath) {
    auto* below = new ISwitchControl(&plug, 0, 0, 0, Bitmap(1, 2), BlendNone);
    graphics->AddControl(below);
    auto* toggle = new IInvisibleToggle(&plug, IRectangle(0, 0, 40, 40), 1);
    graphics->AddControl(toggle);
    auto* grayed = new ISwitchControl(&plug, 0, 0, 2, Bitmap(2, 2), BlendNone);
    graphics->AddControl(grayed);
    Attach();
    below->ApplyPlugValue(0.0);
    toggle->ApplyPlugValue(0.0);
    grayed->ApplyPlugValue(0.0);
    graphics->HideParamControls(1, true);
    grayed->SetGrayed(true);
    EXPECT_EQ(grayed->Blend().weight, 0.25f);

    Click(10, 10);
    EXPECT_EQ(below->Value(), 1.0);
    EXPECT_EQ(toggle->Value(), 0.0);
    EXPECT_EQ(grayed->Value(), 0.0);
    graphics->KeyDown(10, 10, 12);
    graphics->MouseWheel(10, 10, IMouseKeys(), 1);
    EXPECT_EQ(grayed->Value(), 0.0);

    graphics->blits.clear();
    graphics->RedrawArea(IRectangle(0, 0, 40, 40));
    ASSERT_EQ(graphics->blits.size(), 2u) << "the hidden toggle draws nothing";
    EXPECT_EQ(graphics->blits[1].weight, 0.25f) << "a grayed control is drawn at a quarter";

    // Unhidden and ungrayed, the toggle is on top and takes any button, right clicks included.
    grayed->SetGrayed(false);
    graphics->HideParamControls(2, true);
    graphics->HideParamControls(1, false);
    Click(10, 10, Right());
    EXPECT_EQ(toggle->Value(), 1.0);
    EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
    EXPECT_TRUE(graphics->entries.empty());
}

TEST_F(Controls, AboutBoxShowsAndHides) {
    auto* knob = new IKnobMultiControl(&plug, 349, 81, 0, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(knob);
    auto* about =
        new IBitmapOverlayControl(&plug, 72, 69, -1, Bitmap(103, 1), IRectangle(37, 26, 137, 51));
    graphics->AddControl(about);
    Attach();
    Tick();
    Tick();
    EXPECT_EQ(about->TargetRect(), IRectangle(37, 26, 137, 51));
    EXPECT_EQ(graphics->ControlAt(360, 100), 0) << "hidden about box leaves the knob reachable";

    Click(40, 30);
    EXPECT_EQ(about->Value(), 1.0);
    Tick();
    EXPECT_EQ(about->TargetRect(), about->Rect());
    EXPECT_EQ(graphics->ControlAt(360, 100), 1) << "shown, it covers the knob";
    EXPECT_EQ(graphics->ControlAt(395, 100), 0) << "the knob still shows right of it";

    Click(200, 200);
    EXPECT_EQ(about->Value(), 0.0);
    graphics->blits.clear();
    Tick();
    ASSERT_FALSE(graphics->presented.empty());
    EXPECT_EQ(graphics->presented.back(), IRectangle(72, 69, 391, 294))
        << "hiding redraws the full rectangle of the box";
    EXPECT_EQ(graphics->ControlAt(360, 100), 0);
}

TEST_F(Controls, APressThatLosesTheMouseStillEndsItsEdit) {
    auto* knob = new IKnobMultiControl(&plug, 20, 10, 0, Bitmap(RecordingGraphics::kFakeKnob, 65));
    graphics->AddControl(knob);
    Attach();
    IMouseKeys left;
    left.left = true;

    graphics->MouseDown(50, 50, left);
    graphics->MouseDrag(50, 30, left);
    graphics->MouseCaptureLost();
    ASSERT_EQ(Heard(audioMasterEndEdit).size(), 1u);
    EXPECT_EQ(Heard(audioMasterEndEdit)[0].index, 0);
    EXPECT_EQ(graphics->CaptureIndex(), -1);
    graphics->MouseUp(50, 30, left);
    graphics->MouseCaptureLost();
    EXPECT_EQ(Heard(audioMasterEndEdit).size(), 1u) << "an edit ends once";

    // A second press whose release went missing ends the first edit before beginning its own.
    graphics->MouseDown(50, 50, left);
    graphics->MouseDown(50, 50, left);
    EXPECT_EQ(Heard(audioMasterBeginEdit).size(), 3u);
    EXPECT_EQ(Heard(audioMasterEndEdit).size(), 2u);
    graphics->MouseUp(50, 50, left);
    EXPECT_EQ(Heard(audioMasterEndEdit).size(), 3u);
}
