// The stompbox panel: size, artwork and every control in creation order. Control indices
// matter: the effect switches the LEDs by index.

#include "effect/PlugExampleEditor.h"
#include "editor/IBitmapControl.h"
#include "editor/IBitmapOverlayControl.h"
#include "editor/IGraphicsLice.h"
#include "editor/IInvisibleToggle.h"
#include "editor/IKnobMultiControl.h"
#include "editor/PlatformGraphics.h"
#include "editor/StompSwitch.h"
#include "effect/PlugExample.h"

namespace {

enum Artwork {
    kButtonId = 100,
    kKnobId = 101,
    kBackgroundId = 102,
    kAboutId = 103,
    kLedId = 104,
};

constexpr int kEditorWidth = 465;
constexpr int kEditorHeight = 336;
constexpr int kKnobTop = 81;

} // namespace

StompboxPanel BuildStompboxPanel(IEditorDelegate* plug) {
    StompboxPanel panel;
    auto* editor = MakePlatformGraphics(plug, kEditorWidth, kEditorHeight, 0);
    panel.editor = editor;
    editor->AddBackground(kBackgroundId, "img/background.png");

    const IBitmapRef led = editor->LoadBitmapResource(kLedId, "img/kvx_led_01.png", 2);
    panel.effectLedIndex =
        editor->AddControl(new IBitmapControl(plug, 346, 230, -1, led, BlendNone));
    panel.vortalizerLedIndex =
        editor->AddControl(new IBitmapControl(plug, 104, 230, -1, led, BlendNone));

    // Each footswitch is a momentary button whose presses latch a hidden toggle that holds the
    // on/off parameter; the toggle is never drawn or clicked.
    auto* effectToggle =
        new IInvisibleToggle(plug, IRectangle(330, 241, 360, 271), PlugExample::kEffect);
    editor->AddControl(effectToggle);
    editor->HideParamControls(PlugExample::kEffect, true);
    IBitmapRef button = editor->LoadBitmapResource(kButtonId, "img/kvx_button_01.png", 2);
    new StompSwitch(plug, editor, 330, 241, button, effectToggle);

    auto* vortalizerToggle =
        new IInvisibleToggle(plug, IRectangle(88, 241, 118, 271), PlugExample::kVortalizer);
    editor->AddControl(vortalizerToggle);
    editor->HideParamControls(PlugExample::kVortalizer, true);
    button = editor->LoadBitmapResource(kButtonId, "img/kvx_button_01.png", 2);
    new StompSwitch(plug, editor, 88, 241, button, vortalizerToggle);

    const IBitmapRef knob = editor->LoadBitmapResource(kKnobId, "img/kvx_knob_01.png", 65);
    const struct {
        int x;
        int param;
    } knobs[] = {{29, PlugExample::kLevel},
                 {349, PlugExample::kDrive},
                 {109, PlugExample::kLow},
                 {189, PlugExample::kMid},
                 {269, PlugExample::kHigh}};
    for (const auto& k : knobs) {
        editor->AddControl(new IKnobMultiControl(plug, k.x, kKnobTop, k.param, knob));
    }

    const IBitmapRef about = editor->LoadBitmapResource(kAboutId, "img/kvx_about.png", 1);
    editor->AddControl(
        new IBitmapOverlayControl(plug, 72, 69, -1, about, IRectangle(37, 26, 137, 51)));

    return panel;
}
