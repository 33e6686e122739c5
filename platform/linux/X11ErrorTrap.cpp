#include "platform/linux/X11ErrorTrap.h"

#include <mutex>

namespace {

std::mutex gTrapMutex;
Display* gTrapDisplay = nullptr;
bool gTrapFailed = false;
XErrorHandler gPreviousHandler = nullptr;

int TrapHandler(Display* display, XErrorEvent* error) {
    if (display == gTrapDisplay) {
        gTrapFailed = true;
        return 0;
    }
    return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) {
    gTrapMutex.lock();
    // Errors of earlier requests belong to whoever made them, not to this trap.
    XSync(display, False);
    gTrapDisplay = display;
    gTrapFailed = false;
    gPreviousHandler = XSetErrorHandler(TrapHandler);
}

X11ErrorTrap::~X11ErrorTrap() {
    XSync(gTrapDisplay, False);
    XSetErrorHandler(gPreviousHandler);
    gTrapDisplay = nullptr;
    gPreviousHandler = nullptr;
    gTrapMutex.unlock();
}

bool X11ErrorTrap::Failed() {
    XSync(gTrapDisplay, False);
    return gTrapFailed;
}
