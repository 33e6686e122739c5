#pragma once

#include "editor/ISwitchControl.h"

// A bitmap shown over the panel (an about box): while hidden it is a hot spot over targetArea;
// a click there shows it, and while shown the whole bitmap is clickable and a click hides it.
class IBitmapOverlayControl : public ISwitchControl {
public:
    IBitmapOverlayControl(IEditorDelegate* plug, int x, int y, int paramIdx,
                          const IBitmapRef& bitmap, const IRectangle& targetArea);

    bool Draw(IGraphicsBase* graphics) override;

private:
    IRectangle targetArea_;
};
