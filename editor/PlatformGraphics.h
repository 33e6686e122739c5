#pragma once

class IGraphicsLice;
class IEditorDelegate;

// The editor of this platform (Linux: X11; Windows: Win32) for a plug-in, at a size and frame
// rate; the plug-in takes it over with AttachEditor.
IGraphicsLice* MakePlatformGraphics(IEditorDelegate* plug, int width, int height, int fps);
