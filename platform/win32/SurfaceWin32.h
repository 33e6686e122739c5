#pragma once

#include "platform/Surface.h"

#include <windows.h>

// The memory device context behind a surface handle, for GDI text and copies to a window.
HDC SurfaceDeviceContext(const SurfaceHandle* surface);
