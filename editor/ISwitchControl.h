#pragma once

#include "editor/IBitmapControl.h"

// Steps through its frames on every press and wraps to the first; a two-frame switch
// alternates 0, 1, 0. A right click asks for value entry instead and leaves the value.
class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    void MouseDown(int x, int y, const IMouseKeys& keys) override;
};
