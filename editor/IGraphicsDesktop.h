#pragma once

#include "editor/IGraphicsLice.h"
#include "editor/TextEntry.h"
#include "platform/EditorWindow.h"

#include <memory>
#include <mutex>

class FontRenderer;
class MemoryBitmap;

// The editor on a desktop, whatever the system: its window (an EditorWindow, X11 or Win32) inside
// the host's, the popup for typing a value, the redraw tick, the dialogs and resizing. Input
// reaches the graphics core with the plug-in lock held, as it would from the host's
// user-interface thread, so it never interleaves with dispatcher calls; drawing runs without
// that lock, so the audio thread never waits for the screen. Closing waits for a window thread,
// which gives up waiting for the lock when asked to stop. Without a window the panel can still
// be driven and drawn off screen.
class IGraphicsDesktop : public IGraphicsLice, private EditorWindowClient {
public:
    IGraphicsDesktop(IEditorDelegate* plug, int width, int height, int fps);
    ~IGraphicsDesktop() override;

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

    TextEntryState EntryState() const { return entry_.State(); }

private:
    void OnWindowEvent(const EditorWindowEvent& event) override;
    void OnWindowTick() override;

    // The plug-in lock for one input event, taken without blocking a closing host: false when
    // the window is stopping.
    bool LockForInput();
    void UnlockAfterInput();
    // Runs a desktop dialog without the input event's hold on the plug-in lock.
    template <typename Dialog> auto RunModal(Dialog dialog);
    void HandleEditorInput(const EditorWindowEvent& event);
    void HandlePopupInput(const EditorWindowEvent& event);
    void Repaint(const IRectangle& area);
    void ShowEntry(const TextEntryView& view, bool present);
    void* Owner() const;

    std::unique_ptr<EditorWindow> window_;
    std::unique_ptr<EditorWindow> retiring_; // closed from its own thread, joined later
    TextEntry entry_;
    std::unique_ptr<FontRenderer> font_; // the first font asked for serves every later text
    bool fontTried_ = false;
    std::mutex drawMutex_; // drawing and presenting against ChangeSize

    // Window thread only.
    std::unique_ptr<FontRenderer> entryFont_;
    std::unique_ptr<MemoryBitmap> entryPixels_;
    IRectangle deferred_; // exposed while the user was typing
    bool captured_ = false;
    bool leaveRequested_ = false;
    bool focusWanted_ = false;
    bool entryShown_ = false;
    unsigned shownGeneration_ = 0;
    unsigned shownRevision_ = 0;
    bool inputLocked_ = false;
    bool inputLockLost_ = false;
};
