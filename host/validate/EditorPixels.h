#pragma once

#include "platform/DesktopSession.h"

#include <cstdint>
#include <functional>
#include <vector>

// The pixels of the editor's window inside top, once it shows more than one colour (or what it
// shows after two seconds). idle(ms) keeps the host's side going meanwhile, as a host's
// user-interface thread does.
std::vector<std::uint32_t> EditorPixels(DesktopSession& desktop, DesktopSession::Window top,
                                        int width, int height,
                                        const std::function<void(int ms)>& idle);
