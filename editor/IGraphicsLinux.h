#pragma once

#include "editor/IGraphicsDesktop.h"

// The editor on Linux: an X11 child window in the host's window with an event and timer thread of
// its own, since hosts drive effEditIdle unreliably. Its logic is the desktop editor's.
class IGraphicsLinux : public IGraphicsDesktop {
public:
    using IGraphicsDesktop::IGraphicsDesktop;
};
