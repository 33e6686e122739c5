#include "editor/IKnobMultiControl.h"

#include "editor/IBitmapControl.h"
#include "editor/IGraphicsBase.h"

IKnobMultiControl::IKnobMultiControl(IEditorDelegate* plug, int x, int y, int paramIdx,
                                     const IBitmapRef& bitmap)
    : IKnobControl(plug, IRectangle(x, y, x + bitmap.width, y + bitmap.FrameHeight()), paramIdx,
                   Vertical, 4.0, BlendNone),
      bitmap_(bitmap) {}

bool IKnobMultiControl::Draw(IGraphicsBase* graphics) {
    return graphics->BlitFrame(bitmap_, rect_, FrameForValue(Value(), bitmap_.frames), &blend_);
}
