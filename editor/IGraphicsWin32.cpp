#include "editor/IGraphicsWin32.h"
#include "editor/PlatformGraphics.h"

IGraphicsLice* MakePlatformGraphics(IEditorDelegate* plug, int width, int height, int fps) {
    return new IGraphicsWin32(plug, width, height, fps);
}
