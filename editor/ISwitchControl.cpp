#include "editor/ISwitchControl.h"

namespace {

// After n - 1 steps of 1 / (n - 1) rounding can land a little above 1: that is still the last
// frame, not a wrap.
constexpr double kStepTolerance = 1.001;

} // namespace

void ISwitchControl::MouseDown(int, int, const IMouseKeys& keys) {
    if (keys.right) {
        PromptValueEntry();
    } else {
        AddToValue(bitmap_.frames >= 2 ? 1.0 / (bitmap_.frames - 1) : 1.0);
    }
    if (!(Value() <= kStepTolerance)) {
        SetValue(0.0);
    }
    CommitUserValue();
}
