#include "editor/IGraphicsLinux.h"
#include "editor/PlatformGraphics.h"

IGraphicsLice* MakePlatformGraphics(IEditorDelegate* plug, int width, int height, int fps) {
    return new IGraphicsLinux(plug, width, height, fps);
}
