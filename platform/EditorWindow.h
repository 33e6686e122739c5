#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <memory>

// Where an editor window sits in its parent, and its size.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The buttons and modifiers held, as Windows reports them with a mouse message: a press
// includes the button pressed, a release no longer holds the button released.
struct PointerKeys {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// One thing that happened to the editor window or its popup, in editor coordinates (popup events
// in the popup's own coordinates).
struct EditorWindowEvent {
    enum Kind {
        kPress, // button 1 (left) or 3 (right)
        kRelease,
        kDoubleClick, // a second left press within the double-click time, instead of kPress
        kMove,
        kWheel,
        kLeave,
        kCaptureLost, // another window took the pointer during a press: no release will come
        kKey,         // virtualKey is a Windows virtual-key code, 0 for keys without one
        kExpose,      // area must be repainted
        kPopupPress,
        kPopupFocusIn,
        kPopupFocusOut,
        kPopupKey, // virtualKey 8 (backspace), 13 (return), 38 (up), 40 (down) or text typed
        kPopupExpose,
    };
    Kind kind = kMove;
    int x = 0;
    int y = 0;
    int button = 0;
    PointerKeys keys;
    int wheelDelta = 0; // 120 per wheel step, positive away from the user
    int virtualKey = 0;
    char text[8] = {};
    int left = 0, top = 0, right = 0, bottom = 0; // kExpose
};

// What the editor does with the window's events. Every call comes from the window's own thread.
class EditorWindowClient {
public:
    virtual void OnWindowEvent(const EditorWindowEvent& event) = 0;
    // The redraw timer, every 1000 / fps milliseconds.
    virtual void OnWindowTick() = 0;

protected:
    ~EditorWindowClient() = default;
};

// The editor's window inside a host's window, with a thread of its own that runs its events and
// its timer, so the editor works whether or not the host calls it regularly. Calls marked
// "window thread" may only be made from the client's callbacks.
class EditorWindow {
public:
    // parent is the host's native window. Null when the window cannot be made.
    static std::unique_ptr<EditorWindow> Open(std::uintptr_t parent, const WindowPlacement& at,
                                              int fps, EditorWindowClient* client);
    virtual ~EditorWindow() = default;

    // Starts the window's thread; the client hears from it from then on.
    virtual void Start() = 0;
    // Stops the thread, waiting for it, and destroys the window. The client is not called again.
    // From the window's own thread it only hides the window and asks the thread to stop; a
    // later Close from another thread finishes the work.
    virtual void Close() = 0;
    // Set as soon as Close begins: a callback waiting for something should give up.
    virtual bool StopRequested() const = 0;
    virtual bool OnWindowThread() const = 0;
    virtual void* NativeHandle() const = 0;
    // Position in the parent and size, as last seen.
    virtual WindowPlacement Placement() const = 0;

    // Window thread: copies the area of the pixels to the same place in the window.
    virtual void Present(const SurfacePixels& pixels, int left, int top, int right, int bottom) = 0;
    // Any thread: the area gets a kExpose soon.
    virtual void Invalidate(int left, int top, int right, int bottom) = 0;
    // Any thread: grows the window, and the host's windows holding it, by (dw, dh).
    virtual void Resize(int dw, int dh) = 0;

    // Window thread: the popup child window for typing a value.
    virtual bool ShowPopup(int x, int y, int width, int height) = 0;
    virtual void HidePopup() = 0;
    virtual void PresentPopup(const SurfacePixels& pixels) = 0;
    virtual void FocusPopup() = 0;
};
