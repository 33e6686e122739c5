#pragma once

#include "editor/IGraphicsLice.h"

// The editor on Linux. It has no window yet: IsWindowOpen stays false, OpenEditorWindow gives
// null, and the dialogs and the value-entry popup do nothing. Drawing, input dispatch and the
// image resources work as with a window, so the panel can be driven and drawn off screen.
class IGraphicsLinux : public IGraphicsLice {
public:
    IGraphicsLinux(IPlugBase* plug, int width, int height, int fps);

    bool PresentArea(const IRectangle& area) override;
    bool DrawTextInRect(const ITextStyle& style, const char* text, const IRectangle& rect) override;
    void ChangeSize(int width, int height) override;
    void BeginValueEntry(IControl* control, IParameter* param) override;
    void GetHostFolder(std::string& out) override;
    void GetModuleFolder(std::string& out) override;
    void AskForFile(std::string& out, int action, const char* startFolder) override;
    bool AskForColour(IRgba& colour, const char* caption) override;
    bool OpenWebLink(const char* url, const char* caption, const char* confirmText,
                     const char* failText) override;
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void* NativeWindow() override;
    RasterBitmap* DecodeImageResource(int id, const char* name) override;
};

// The folder part of a full file name, ending with its separator; empty when the name is
// empty, holds no separator or ends with one.
std::string FolderOfPath(const std::string& path);
