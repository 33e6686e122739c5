#pragma once

#include <X11/Xlib.h>

// Catches the X errors of one connection while it exists, for requests that may fail because a
// window has gone (the host can destroy its window before it closes the editor). Errors of other
// connections go on to the handler that was installed before. Xlib's handler is process-wide, so
// one trap is active at a time.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits for the server to answer everything sent so far; true when any of it failed.
    bool Failed();
};
