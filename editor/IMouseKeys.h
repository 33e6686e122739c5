#pragma once

// The buttons and modifier keys down during a mouse event.
struct IMouseKeys {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};
