// The stompbox panel: size, artwork and every control in creation order. Control indices
// matter: the effect switches the LEDs by index.

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

void PlugExample::BuildEditor() {
    auto* editor = MakePlatformGraphics(this, kEditorWidth, kEditorHeight, 0);
    editor->AddBackground(kBackgroundId, "img/background.png");

    const IBitmapRef led = editor->LoadBitmapResource(kLedId, "img/kvx_led_01.png", 2);
    effectLedIndex = editor->AddControl(new IBitmapControl(this, 346, 230, -1, led, BlendNone));
    vortalizerLedIndex = editor->AddControl(new IBitmapControl(this, 104, 230, -1, led, BlendNone));

    // Each footswitch is a momentary button whose presses latch a hidden toggle that holds the
    // on/off parameter; the toggle is never drawn or clicked.
    auto* effectToggle = new IInvisibleToggle(this, IRectangle(330, 241, 360, 271), kEffect);
    editor->AddControl(effectToggle);
    editor->HideParamControls(kEffect, true);
    IBitmapRef button = editor->LoadBitmapResource(kButtonId, "img/kvx_button_01.png", 2);
    new StompSwitch(this, editor, 330, 241, button, effectToggle);

    auto* vortalizerToggle = new IInvisibleToggle(this, IRectangle(88, 241, 118, 271), kVortalizer);
    editor->AddControl(vortalizerToggle);
    editor->HideParamControls(kVortalizer, true);
    button = editor->LoadBitmapResource(kButtonId, "img/kvx_button_01.png", 2);
    new StompSwitch(this, editor, 88, 241, button, vortalizerToggle);

    const IBitmapRef knob = editor->LoadBitmapResource(kKnobId, "img/kvx_knob_01.png", 65);
    const struct {
        int x;
        int param;
    } knobs[] = {{29, kLevel}, {349, kDrive}, {109, kLow}, {189, kMid}, {269, kHigh}};
    for (const auto& k : knobs) {
        editor->AddControl(new IKnobMultiControl(this, k.x, kKnobTop, k.param, knob));
    }

    const IBitmapRef about = editor->LoadBitmapResource(kAboutId, "img/kvx_about.png", 1);
    editor->AddControl(
        new IBitmapOverlayControl(this, 72, 69, -1, about, IRectangle(37, 26, 137, 51)));

    AttachEditor(editor);
}
