#pragma once

#include "editor/IBitmapRef.h"
#include "editor/IControl.h"

// Shows the frame of its bitmap that matches its value.
class IBitmapControl : public IControl {
public:
    // Sized to one frame of the bitmap, its top left at (x, y).
    IBitmapControl(IEditorDelegate* plug, int x, int y, int paramIdx, const IBitmapRef& bitmap,
                   int blendMode = BlendNone);

    bool Draw(IGraphicsBase* graphics) override;

    const IBitmapRef& Bitmap() const { return bitmap_; }

protected:
    IBitmapRef bitmap_;
};

// The 1-based frame of an n-frame strip that shows value: 0 gives the first, 1 the last.
int FrameForValue(double value, int frames);
