#pragma once

#include "editor/IControl.h"

// A control turned by dragging: upwards (or to the right) increases the value. With the
// default gearing a full sweep takes four control heights of travel; holding control or shift
// makes it ten times coarser.
class IKnobControl : public IControl {
public:
    enum Direction : int { Vertical = 0, Horizontal = 1 };

    IKnobControl(IEditorDelegate* plug, const IRectangle& rect, int paramIdx,
                 int direction = Vertical, double gearing = 4.0, int blendMode = BlendNone);

    void MouseDrag(int x, int y, int dX, int dY, const IMouseKeys& keys) override;

    double Gearing() const { return gearing_; }

protected:
    int direction_;
    double gearing_;
};
