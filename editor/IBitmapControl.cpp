#include "editor/IBitmapControl.h"

#include "editor/IGraphicsBase.h"

IBitmapControl::IBitmapControl(IEditorDelegate* plug, int x, int y, int paramIdx,
                               const IBitmapRef& bitmap, int blendMode)
    : IControl(plug, IRectangle(x, y, x + bitmap.width, y + bitmap.FrameHeight()), paramIdx,
               blendMode),
      bitmap_(bitmap) {}

bool IBitmapControl::Draw(IGraphicsBase* graphics) {
    return graphics->BlitFrame(bitmap_, rect_, FrameForValue(Value(), bitmap_.frames), &blend_);
}

int FrameForValue(double value, int frames) {
    if (frames < 2) {
        return 1;
    }
    // Compared before converting: a value far out of range must not overflow the int.
    const double position = (frames - 1) * value + 0.5;
    if (!(position >= 0.0)) {
        return 1;
    }
    if (position >= frames - 1) {
        return frames;
    }
    return int(position) + 1;
}
