#pragma once

#include "editor/IContactControl.h"

// A momentary button that takes the second click of a double click as another press, so quick
// stomps on a footswitch are not lost.
class IContactControlNoDblClick : public IContactControl {
public:
    IContactControlNoDblClick(IEditorDelegate* plug, int x, int y, int paramIdx,
                              const IBitmapRef& bitmap, int blendMode = BlendNone)
        : IContactControl(plug, x, y, paramIdx, bitmap, blendMode) {
        dblAsPress_ = true;
    }
};
