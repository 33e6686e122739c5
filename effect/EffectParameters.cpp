#include "effect/EffectParameters.h"

#include "effect/PlugExample.h"
#include "plugin/IEditorDelegate.h"
#include "plugin/IParameter.h"

void DefineEffectParameters(const IEditorDelegate& owner) {
    owner.GetParam(PlugExample::kLevel)->DefineContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    owner.GetParam(PlugExample::kDrive)->DefineContinuous("Drive", 0.5, 0.0, 1.0, 0.001, "");
    owner.GetParam(PlugExample::kLow)->DefineContinuous("Low", 0.5, 0.0, 1.0, 0.001, "");
    owner.GetParam(PlugExample::kMid)->DefineContinuous("Mid", 0.5, 0.0, 1.0, 0.001, "");
    owner.GetParam(PlugExample::kHigh)->DefineContinuous("High", 0.5, 0.0, 1.0, 0.001, "");
    IParameter* effect = owner.GetParam(PlugExample::kEffect);
    effect->DefineEnumerated("Effect", 1, 2);
    effect->AddValueText(0, "Off");
    effect->AddValueText(1, "On");
    IParameter* vortalizer = owner.GetParam(PlugExample::kVortalizer);
    vortalizer->DefineEnumerated("Vortalizer", 0, 2);
    vortalizer->AddValueText(0, "Off");
    vortalizer->AddValueText(1, "On");
}
