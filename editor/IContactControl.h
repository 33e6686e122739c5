#pragma once

#include "editor/ISwitchControl.h"

// A momentary button: pressed it steps like a switch, released it returns to 0.
class IContactControl : public ISwitchControl {
public:
    using ISwitchControl::ISwitchControl;

    void MouseUp(int x, int y, const IMouseKeys& keys) override;
};
