#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// The keys the editor and its popup react to, whatever the system calls them.
enum class WindowKey {
    kNone,
    kSpace,
    kUp,
    kDown,
    kLeft,
    kRight,
    kBackspace,
    kReturn,
    kDigit0,                 // kDigit0 + n for the digit n
    kLetterA = kDigit0 + 10, // kLetterA + n for the n-th letter, either case
    kLetterZ = kLetterA + 25,
};

// One thing that happened to the editor window or its popup, in editor coordinates (popup events
// in the popup's own coordinates). Each system's rule for a double click is applied where the
// window is made; the event carries only the count.
struct EditorWindowEvent {
    enum Kind {
        kPress, // button 1 (left) or 3 (right), clicks 2 for the second press of a double click
        kRelease,
        kMove,
        kWheel,
        kLeave,
        kCaptureLost, // another window took the pointer during a press: no release will come
        kKey,         // key, kNone for keys the editor does not know
        kExpose,      // area must be repainted
        kCloseRequest,
        kPopupPress,
        kPopupFocusIn,
        kPopupFocusOut,
        kPopupKey,    // key backspace, return, up or down; or text typed
        kPopupText,   // a system's own text box changed: text is its whole text
        kPopupChoice, // a system's own list: item choice chosen
        kPopupExpose,
    };
    Kind kind = kMove;
    int x = 0;
    int y = 0;
    int button = 0;
    int clicks = 1;
    PointerKeys keys;
    int wheelDelta = 0; // 120 per wheel step, positive away from the user
    WindowKey key = WindowKey::kNone;
    int choice = -1;
    char text[32] = {};
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

// What the popup for typing a value shows: a text box, or a list of choices with one selected.
struct PopupContent {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool list = false;
    std::string text;
    std::vector<std::string> items;
    int selected = -1;
};

// The editor's window inside a host's window. On Linux it has a thread of its own that runs its
// events and its timer, so the editor works whether or not the host calls it regularly; on
// Windows it runs on the thread of the host's that opened it, from that thread's message loop.
// Calls marked "window thread" may only be made from the client's callbacks.
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

    // Window thread: copies the area of the surface to the same place in the window.
    virtual void Present(const SurfaceHandle* surface, int left, int top, int right,
                         int bottom) = 0;
    // Any thread: the area gets a kExpose soon.
    virtual void Invalidate(int left, int top, int right, int bottom) = 0;
    // Any thread: grows the window, and the host's windows holding it, by (dw, dh).
    virtual void Resize(int dw, int dh) = 0;

    // Window thread: the popup child window for typing a value. Where the system has a text box
    // and a list of its own (Windows), the popup is that control, showing the content and
    // reporting kPopupText and kPopupChoice; elsewhere the editor draws it and hands the pixels
    // to PresentPopup, and it reports presses and keys.
    virtual bool DrawsOwnPopup() const = 0;
    virtual bool ShowPopup(const PopupContent& content) = 0;
    // A system popup takes the content's text and selection where they differ from its own.
    virtual void UpdatePopup(const PopupContent& content) = 0;
    virtual void HidePopup() = 0;
    virtual void PresentPopup(const SurfacePixels& pixels) = 0;
    virtual void FocusPopup() = 0;
};
