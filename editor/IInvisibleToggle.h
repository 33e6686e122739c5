#pragma once

#include "editor/IControl.h"

// An on/off value with no picture: it holds the latched state behind a momentary footswitch.
class IInvisibleToggle : public IControl {
public:
    IInvisibleToggle(IEditorDelegate* plug, const IRectangle& rect, int paramIdx);

    // Any button toggles: there is no value entry to open.
    void MouseDown(int x, int y, const IMouseKeys& keys) override;
    bool Draw(IGraphicsBase* graphics) override;
};
