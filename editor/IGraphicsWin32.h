#pragma once

#include "editor/IGraphicsDesktop.h"

// The editor on Windows: a child window of class "IPlugWndClass" in the host's window, redrawn
// from a timer on the thread that opened it, with an EDIT or COMBOBOX popup for typing a value.
// Its logic is the desktop editor's.
class IGraphicsWin32 : public IGraphicsDesktop {
public:
    using IGraphicsDesktop::IGraphicsDesktop;
};
