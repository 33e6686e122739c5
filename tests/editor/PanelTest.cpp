#include "PanelFixture.h"
#include "editor/IBitmapOverlayControl.h"
#include "editor/IContactControlNoDblClick.h"
#include "editor/IInvisibleToggle.h"
#include "editor/IKnobMultiControl.h"
#include "editor/ImageCache.h"
#include "platform/Resources.h"

using Panel = PanelFixture;

namespace {

const IRectangle kEffectLed(346, 230, 354, 238);
const IRectangle kVortalizerLed(104, 230, 112, 238);
const IRectangle kAboutBox(72, 69, 391, 294);

} // namespace

TEST_F(Panel, ThirteenControlsInTheirOrder) {
    ASSERT_EQ(editor->NumControls(), 13);
    EXPECT_EQ(editor->Width(), 465);
    EXPECT_EQ(editor->Height(), 336);
    EXPECT_EQ(editor->FrameRate(), 24);
    const struct {
        IRectangle rect;
        int param;
    } layout[] = {
        {{0, 0, 465, 336}, -1},    {kEffectLed, -1},           {kVortalizerLed, -1},
        {{330, 241, 360, 271}, 5}, {{330, 241, 370, 281}, -1}, {{88, 241, 118, 271}, 6},
        {{88, 241, 128, 281}, -1}, {{29, 81, 109, 161}, 0},    {{349, 81, 429, 161}, 1},
        {{109, 81, 189, 161}, 2},  {{189, 81, 269, 161}, 3},   {{269, 81, 349, 161}, 4},
        {kAboutBox, -1},
    };
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(editor->GetControl(i)->Rect(), layout[i].rect) << "control " << i;
        EXPECT_EQ(editor->GetControl(i)->ParamIdx(), layout[i].param) << "control " << i;
    }
    EXPECT_NE(dynamic_cast<IInvisibleToggle*>(editor->GetControl(3)), nullptr);
    EXPECT_NE(dynamic_cast<IInvisibleToggle*>(editor->GetControl(5)), nullptr);
    EXPECT_TRUE(editor->GetControl(3)->IsHidden());
    EXPECT_TRUE(editor->GetControl(5)->IsHidden());
    EXPECT_NE(dynamic_cast<IContactControlNoDblClick*>(editor->GetControl(4)), nullptr);
    EXPECT_NE(dynamic_cast<IContactControlNoDblClick*>(editor->GetControl(6)), nullptr);
    for (int i = 7; i < 12; ++i) {
        EXPECT_NE(dynamic_cast<IKnobMultiControl*>(editor->GetControl(i)), nullptr);
    }
    EXPECT_NE(dynamic_cast<IBitmapOverlayControl*>(editor->GetControl(12)), nullptr);

    // The host was told the editor's size.
    ERect* rect = nullptr;
    plug->Effect()->dispatcher(plug->Effect(), effEditGetRect, 0, 0, &rect, 0.0f);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 465);
    EXPECT_EQ(rect->bottom, 336);
    EXPECT_TRUE(plug->Effect()->flags & effFlagsHasEditor);
}

TEST_F(Panel, ButtonImageIsDecodedOnceAndShared) {
    const auto& a = static_cast<IBitmapControl*>(editor->GetControl(4))->Bitmap();
    const auto& b = static_cast<IBitmapControl*>(editor->GetControl(6))->Bitmap();
    ASSERT_NE(a.bitmap, nullptr);
    EXPECT_EQ(a.bitmap, b.bitmap);
    EXPECT_EQ(ImageCache::Instance().Find(100), a.bitmap);
    EXPECT_EQ(a.width, 40);
    EXPECT_EQ(a.height, 80);

    // A second editor of the module decodes nothing: every image is in the cache.
    class CountingEditor : public IGraphicsLinux {
    public:
        using IGraphicsLinux::IGraphicsLinux;
        RasterBitmap* DecodeImageResource(int id, const char* name) override {
            ++decodes;
            return IGraphicsLinux::DecodeImageResource(id, name);
        }
        int decodes = 0;
    };
    CountingEditor second(plug, 465, 336, 0);
    const IBitmapRef again = second.LoadBitmapResource(100, "img/kvx_button_01.png", 2);
    second.LoadBitmapResource(100, "img/kvx_button_01.png", 1);
    EXPECT_EQ(second.decodes, 0);
    EXPECT_EQ(again.bitmap, a.bitmap);

    // A resource not yet cached is decoded once, however often it is loaded; one that does
    // not exist is looked for each time and never cached.
    const unsigned char* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindModuleResource(nullptr, "PNG", 104, &data, &size));
    static const ModuleResource fresh("PNG", 900, data, size);
    const int before = ImageCache::Instance().Count();
    const IBitmapRef first = second.LoadBitmapResource(900, "img/fresh.png", 2);
    const IBitmapRef other = second.LoadBitmapResource(900, "img/fresh.png", 1);
    EXPECT_EQ(second.decodes, 1);
    ASSERT_NE(first.bitmap, nullptr);
    EXPECT_EQ(other.bitmap, first.bitmap);
    EXPECT_EQ(first.frames, 2);
    EXPECT_EQ(other.frames, 1) << "the frame count belongs to the load, not to the cache";
    EXPECT_EQ(ImageCache::Instance().Count(), before + 1);

    second.decodes = 0;
    EXPECT_EQ(second.LoadBitmapResource(555, "missing.png", 1).bitmap, nullptr);
    EXPECT_EQ(second.LoadBitmapResource(555, "missing.png", 1).bitmap, nullptr);
    EXPECT_EQ(second.LoadBitmapResource(101, "knob.jpg", 65).bitmap,
              ImageCache::Instance().Find(101))
        << "a cached id is found whatever the name";
    EXPECT_EQ(second.decodes, 2) << "only the missing id was looked for";
    EXPECT_EQ(ImageCache::Instance().Count(), before + 1) << "nothing cached for a missing image";
    EXPECT_EQ(second.DecodeImageResource(102, "background.gif"), nullptr)
        << "the name's extension picks the decoder";
}

TEST_F(Panel, KnobsShowTheFrameOfTheirValue) {
    const IRectangle level(29, 81, 109, 161);
    const struct {
        float value;
        int frame;
    } cases[] = {{0.0f, 1}, {0.5f, 33}, {1.0f, 65}};
    for (const auto& c : cases) {
        SetParameter(PlugExample::kLevel, c.value);
        Paint();
        EXPECT_EQ(DifferingPixels(*PanelWith(101, 65, c.frame, level), level), 0)
            << "value " << c.value << " should show frame " << c.frame;
        const int other = c.frame == 1 ? 65 : 1;
        EXPECT_GT(DifferingPixels(*PanelWith(101, 65, other, level), level), 100)
            << "frames " << c.frame << " and " << other << " must look different";
    }
}

TEST_F(Panel, LedsFollowTheFootswitches) {
    // As opened: "Effect" on, "Vortalizer" off.
    EXPECT_EQ(DifferingPixels(*PanelWith(104, 2, 2, kEffectLed), kEffectLed), 0);
    EXPECT_EQ(DifferingPixels(*PanelWith(104, 2, 1, kVortalizerLed), kVortalizerLed), 0);

    Stomp(350, 260);
    EXPECT_EQ(plug->GetParam(PlugExample::kEffect)->Value(), 0.0);
    EXPECT_FALSE(plug->EffectOn());
    EXPECT_EQ(DifferingPixels(*PanelWith(104, 2, 1, kEffectLed), kEffectLed), 0);

    Stomp(108, 260);
    EXPECT_EQ(plug->GetParam(PlugExample::kVortalizer)->Value(), 1.0);
    EXPECT_EQ(DifferingPixels(*PanelWith(104, 2, 2, kVortalizerLed), kVortalizerLed), 0);

    // The host switches the effect back on: LED lit, and the next stomp turns it off again.
    SetParameter(PlugExample::kEffect, 1.0f);
    Paint();
    EXPECT_EQ(DifferingPixels(*PanelWith(104, 2, 2, kEffectLed), kEffectLed), 0);
    Stomp(350, 260);
    EXPECT_EQ(plug->GetParam(PlugExample::kEffect)->Value(), 0.0);
    EXPECT_EQ(editor->GetControl(1)->Value(), 0.0) << "the effect stored LED index 1";
    EXPECT_EQ(editor->GetControl(2)->Value(), 1.0) << "the effect stored LED index 2";

    const auto automated = HostCallLog::Instance().With(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 3u) << "one automation per stomp";
    EXPECT_EQ(automated[1].index, PlugExample::kVortalizer);
    EXPECT_TRUE(HostCallLog::Instance().With(audioMasterBeginEdit).empty())
        << "the buttons have no parameter of their own";
}

TEST_F(Panel, AboutBoxShowsAndHides) {
    const auto before = CopyOfSurface();
    Click(300, 200);
    Paint();
    EXPECT_EQ(DifferingPixels(*before, IRectangle(0, 0, 465, 336)), 0)
        << "a click on the bare panel changes nothing";

    Click(40, 30);
    Paint();
    auto expected = CopyOfSurface();
    RasterCopy(expected.get(), before.get());
    const auto about = Decode(103);
    RasterBlit(expected.get(), about.get(), 72, 69, nullptr, 1.0f, ModeCopy | ModeUseSourceAlpha);
    EXPECT_EQ(DifferingPixels(*expected, IRectangle(0, 0, 465, 336)), 0);
    EXPECT_GT(DifferingPixels(*before, kAboutBox), 10000);

    // While shown it takes clicks over the level knob, which stays as it was.
    const double level = plug->GetParam(PlugExample::kLevel)->Value();
    IMouseKeys left;
    left.left = true;
    editor->MouseDown(100, 120, left);
    editor->MouseDrag(100, 20, left);
    editor->MouseUp(100, 20, left);
    EXPECT_EQ(plug->GetParam(PlugExample::kLevel)->Value(), level);
    Paint();
    EXPECT_EQ(DifferingPixels(*before, IRectangle(0, 0, 465, 336)), 0) << "the click hid it";
}
