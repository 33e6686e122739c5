#pragma once

#include "editor/IBitmapRef.h"
#include "editor/IKnobControl.h"

// A knob drawn from a strip of frames, the first at the minimum and the last at the maximum.
class IKnobMultiControl : public IKnobControl {
public:
    IKnobMultiControl(IEditorDelegate* plug, int x, int y, int paramIdx, const IBitmapRef& bitmap);

    bool Draw(IGraphicsBase* graphics) override;

private:
    IBitmapRef bitmap_;
};
