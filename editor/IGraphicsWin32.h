#pragma once

#include "editor/IGraphicsLice.h"
#include "editor/IRgba.h"
#include "editor/TextEntry.h"

#include <windows.h>

#include <string>

// The editor on Windows: a child window of the host's window, redrawn from a timer on the
// thread that opened it, with an EDIT or COMBOBOX popup for typing a parameter's value.
class IGraphicsWin32 : public IGraphicsLice {
public:
    IGraphicsWin32(IEditorDelegate* plug, int width, int height, int fps);
    ~IGraphicsWin32() override;

    bool PresentArea(const IRectangle& area) override;
    bool DrawTextInRect(const ITextStyle& style, const char* text, const IRectangle& rect) override;
    void ChangeSize(int width, int height) override;
    bool IsWindowOpen() override { return window_ != nullptr; }
    void BeginValueEntry(IControl* control, IParameter* param) override;
    void GetHostFolder(std::string& out) override;
    void GetModuleFolder(std::string& out) override;
    void AskForFile(std::string& out, int action, const char* startFolder) override;
    bool AskForColour(IRgba& colour, const char* caption) override;
    bool OpenWebLink(const char* url, const char* caption, const char* confirmText,
                     const char* failText) override;
    void* OpenEditorWindow(void* parent) override;
    void CloseEditorWindow() override;
    void* NativeWindow() override { return window_; }
    RasterBitmap* DecodeImageResource(int id, const char* name) override;

    TextEntryState EntryState() const { return entryState_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();
    void CommitEntry();
    // Restores the popup's own procedure, destroys the popup and forgets the entry.
    void EndEntry();
    // Forgets the entry whose popup is gone (destroyed with the window).
    void ForgetEntry();
    HDC SurfaceDC() const;

    bool fontCreated_ = false;
    IRgba textColour_{255, 0, 0, 0};
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    // Set while the editor itself releases the mouse at the end of a press.
    bool releasingCapture_ = false;
    HWND entryWindow_ = nullptr;
    IControl* entryControl_ = nullptr;
    IParameter* entryParam_ = nullptr;
    WNDPROC entryDefaultProc_ = nullptr;
    TextEntryState entryState_ = Idle;
    HFONT entryFont_ = nullptr;
    COLORREF* customColours_ = nullptr;
};
