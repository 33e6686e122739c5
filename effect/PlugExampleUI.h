#pragma once

#include "effect/PlugExampleEditor.h"
#include "plugin/IPlugLV2UI.h"

// Kelvorantumix's panel as an LV2 UI: the parameter table and the panel of the plug-in, and its
// LEDs following the footswitches as the effect switches them (OnParameterChange).
class PlugExampleUI : public IPlugLV2UI {
public:
    PlugExampleUI(LV2UI_Write_Function write, LV2UI_Controller controller,
                  const LV2_Feature* const* features);

protected:
    void OnParamChange(int paramIdx) override;

private:
    StompboxPanel panel_;
};
