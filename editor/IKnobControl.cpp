#include "editor/IKnobControl.h"

IKnobControl::IKnobControl(IEditorDelegate* plug, const IRectangle& rect, int paramIdx,
                           int direction, double gearing, int blendMode)
    : IControl(plug, rect, paramIdx, blendMode), direction_(direction), gearing_(gearing) {}

void IKnobControl::MouseDrag(int, int, int dX, int dY, const IMouseKeys& keys) {
    double g = gearing_;
    if (keys.control || keys.shift) {
        g *= 0.1;
    }
    // Screen y grows downwards, so the negative height makes an upward drag increase the value.
    // An empty rectangle would divide by zero: such a knob does not move.
    if (direction_ == Vertical) {
        const int span = rect_.top - rect_.bottom;
        if (span != 0) {
            AddToValue(dY / double(span) / g);
        }
    } else {
        const int span = rect_.right - rect_.left;
        if (span != 0) {
            AddToValue(dX / double(span) / g);
        }
    }
    CommitUserValue();
}
