#include "editor/IBitmapOverlayControl.h"

IBitmapOverlayControl::IBitmapOverlayControl(IEditorDelegate* plug, int x, int y, int paramIdx,
                                             const IBitmapRef& bitmap, const IRectangle& targetArea)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, BlendNone), targetArea_(targetArea) {
    targetRect_ = targetArea;
}

bool IBitmapOverlayControl::Draw(IGraphicsBase* graphics) {
    // The hit area follows what is on screen, so it changes only when the control is drawn.
    if (Value() < 0.5) {
        targetRect_ = targetArea_;
        return true;
    }
    targetRect_ = rect_;
    return IBitmapControl::Draw(graphics);
}
