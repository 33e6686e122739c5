#include "EditorFixture.h"
#include "editor/IBitmapControl.h"
#include "editor/IInvisibleToggle.h"

using GraphicsCore = EditorFixture;

TEST_F(GraphicsCore, RepaintsAndDirtyAreas) {
    EXPECT_TRUE(graphics->RedrawArea(IRectangle(0, 0, 10, 10)));
    EXPECT_TRUE(graphics->presented.empty()) << "nothing to draw, nothing presented";

    auto* a = new IBitmapControl(&plug, 10, 10, 0, Bitmap(1, 2), BlendNone);  // 40 x 40
    auto* b = new IBitmapControl(&plug, 100, 50, 1, Bitmap(2, 1), BlendNone); // 40 x 80
    auto* hidden = new IInvisibleToggle(&plug, IRectangle(0, 0, 5, 5), 2);
    EXPECT_EQ(graphics->AddControl(a), 0);
    EXPECT_EQ(graphics->AddControl(b), 1);
    EXPECT_EQ(graphics->AddControl(hidden), 2);
    graphics->HideParamControls(2, true);
    graphics->AddBackground(102, "img/background.png");
    ASSERT_EQ(graphics->NumControls(), 4);
    EXPECT_EQ(graphics->GetControl(1), a) << "the background goes under everything";
    EXPECT_EQ(graphics->GetControl(0)->Rect(), IRectangle(0, 0, 465, 336));
    EXPECT_EQ(graphics->GetControl(0)->Blend().mode, BlendCopy);

    IRectangle area;
    EXPECT_TRUE(graphics->CollectDirtyArea(area));
    EXPECT_EQ(area, IRectangle(0, 0, 465, 336));
    graphics->RedrawArea(IRectangle(0, 0, 20, 20));
    EXPECT_EQ(graphics->blits.size(), 2u) << "only controls overlapping the area are drawn";
    EXPECT_EQ(graphics->blits[0].mode, BlendCopy);
    EXPECT_EQ(graphics->DrawArea(), IRectangle(0, 0, 20, 20));
    IRectangle after;
    EXPECT_TRUE(graphics->CollectDirtyArea(after));
    EXPECT_EQ(after, IRectangle(0, 0, 5, 5)) << "hiding asked for one more repaint";
    graphics->RedrawArea(after);
    EXPECT_FALSE(graphics->CollectDirtyArea(after)) << "the hidden control is marked clean too";

    graphics->SetControlValue(1, 1.0);
    graphics->SetControlValue(-1, 1.0);
    graphics->SetControlValue(4, 1.0);
    graphics->UpdateParamControls(1, 1.0, true);
    area = IRectangle();
    EXPECT_TRUE(graphics->CollectDirtyArea(area));
    EXPECT_EQ(area, IRectangle(10, 10, 140, 130)) << "the union of the two dirty controls";
    graphics->blits.clear();
    graphics->RedrawArea(area);
    ASSERT_EQ(graphics->blits.size(), 3u);
    EXPECT_EQ(graphics->blits[1].srcY, 40) << "control a shows its second frame";
    EXPECT_EQ(graphics->presented.back(), area);
}

TEST_F(GraphicsCore, FramesOfAStrip) {
    IBitmapRef strip;
    strip.width = 10;
    strip.height = 100;
    strip.frames = 3;
    const IRectangle dest(0, 0, 10, 33);
    const int frames[] = {0, 1, 2, 3};
    const int expected[] = {0, 0, 33, 67};
    for (int i = 0; i < 4; ++i) {
        graphics->blits.clear();
        graphics->BlitFrame(strip, dest, frames[i]);
        ASSERT_EQ(graphics->blits.size(), 1u);
        EXPECT_EQ(graphics->blits[0].srcY, expected[i]) << "frame " << frames[i];
        EXPECT_EQ(graphics->blits[0].srcX, 0);
    }
    graphics->VerticalLine(IRgba(), 3, 1, 9);
    graphics->HorizontalLine(IRgba(), 4, 2, 8);
    ASSERT_EQ(graphics->lines.size(), 2u);
    EXPECT_EQ(graphics->lines[0], IRectangle(3, 1, 3, 9));
    EXPECT_EQ(graphics->lines[1], IRectangle(2, 4, 8, 4));
}

TEST_F(GraphicsCore, ClicksOutsideEveryControlAreIgnored) {
    auto* a = new IBitmapControl(&plug, 10, 10, 0, Bitmap(1, 2), BlendNone);
    graphics->AddControl(a);
    Attach();
    IMouseKeys left;
    left.left = true;
    graphics->MouseDown(300, 300, left);
    EXPECT_EQ(graphics->CaptureIndex(), -1);
    graphics->MouseDrag(20, 20, left);
    graphics->MouseUp(20, 20, left);
    EXPECT_TRUE(Heard(audioMasterBeginEdit).empty());
    EXPECT_TRUE(Heard(audioMasterEndEdit).empty()) << "a release without a press is ignored";
    EXPECT_EQ(a->Value(), 0.25);
    EXPECT_FALSE(graphics->MouseDoubleClick(300, 300, left));
    EXPECT_EQ(graphics->ControlAt(10, 10), 0);
    EXPECT_EQ(graphics->ControlAt(50, 10), -1) << "right edge is outside";
}

TEST_F(GraphicsCore, PlainValuesAreNormalizedAndResizingDropsControls) {
    plug.GetParam(0)->DefineContinuous("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
    auto* a = new IBitmapControl(&plug, 10, 10, 0, Bitmap(1, 2), BlendNone);
    graphics->AddControl(a);
    graphics->AddBackground(102, "img/background.png");
    Attach();
    graphics->UpdateParamControls(0, 6.0, false);
    EXPECT_DOUBLE_EQ(a->Value(), 0.75);

    graphics->ChangeSize(500, 400);
    EXPECT_EQ(graphics->NumControls(), 0);
    EXPECT_EQ(graphics->Width(), 500);
    ERect* rect = nullptr;
    plug.Dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 500);
    EXPECT_EQ(rect->bottom, 400);
}
