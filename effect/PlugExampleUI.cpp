#include "effect/PlugExampleUI.h"

#include "editor/IGraphicsLice.h"
#include "effect/EffectParameters.h"
#include "effect/PlugExample.h"

PlugExampleUI::PlugExampleUI(LV2UI_Write_Function write, LV2UI_Controller controller,
                             const LV2_Feature* const* features)
    : IPlugLV2UI(PlugExample::kNumParams, write, controller, features) {
    DefineEffectParameters(*this);
    panel_ = BuildStompboxPanel(this);
    AttachEditor(panel_.editor);
}

void PlugExampleUI::OnParamChange(int paramIdx) {
    if (!Editor() || (paramIdx != PlugExample::kEffect && paramIdx != PlugExample::kVortalizer)) {
        return;
    }
    // As the effect does: a switch value other than 0 or 1 leaves the LED as it is.
    const int n = int(GetParam(paramIdx)->Value());
    if (n == 0 || n == 1) {
        Editor()->SetControlValue(paramIdx == PlugExample::kEffect ? panel_.effectLedIndex
                                                                   : panel_.vortalizerLedIndex,
                                  n);
    }
}

IPlugLV2UI* MakePlugUI(LV2UI_Write_Function write, LV2UI_Controller controller,
                       const LV2_Feature* const* features) {
    return new PlugExampleUI(write, controller, features);
}
