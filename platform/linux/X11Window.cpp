// The editor window on X11: a child of the host's window on a Display connection of its own,
// whose events and redraw timer run on a thread of their own. Xlib is not told about threads
// (the process is the host's): only that thread uses the connection between Open and Close.

#include "platform/EditorWindow.h"
#include "platform/linux/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

constexpr long kEditorEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | KeyPressMask | LeaveWindowMask |
                               StructureNotifyMask;
constexpr long kPopupEvents =
    ExposureMask | ButtonPressMask | KeyPressMask | FocusChangeMask | StructureNotifyMask;
// X11 has no double click of its own; these are Windows' defaults.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 2;

PointerKeys KeysOf(unsigned state) {
    PointerKeys keys;
    keys.left = state & Button1Mask;
    keys.right = state & Button3Mask;
    keys.shift = state & ShiftMask;
    keys.control = state & ControlMask;
    keys.alt = state & Mod1Mask;
    return keys;
}

// True when the next event waiting is another pointer motion in the same window.
bool NextIsMotionIn(Display* display, Window window) {
    if (XPending(display) == 0) {
        return false;
    }
    XEvent next;
    XPeekEvent(display, &next);
    return next.type == MotionNotify && next.xmotion.window == window;
}

// The editor's name for a key.
WindowKey KeyOf(KeySym sym) {
    if (sym == XK_space) {
        return WindowKey::kSpace;
    }
    if (sym >= XK_0 && sym <= XK_9) {
        return WindowKey(int(WindowKey::kDigit0) + int(sym - XK_0));
    }
    if (sym >= XK_a && sym <= XK_z) {
        return WindowKey(int(WindowKey::kLetterA) + int(sym - XK_a));
    }
    if (sym >= XK_A && sym <= XK_Z) {
        return WindowKey(int(WindowKey::kLetterA) + int(sym - XK_A));
    }
    switch (sym) {
    case XK_BackSpace:
        return WindowKey::kBackspace;
    case XK_Return:
    case XK_KP_Enter:
        return WindowKey::kReturn;
    case XK_Left:
    case XK_KP_Left:
        return WindowKey::kLeft;
    case XK_Up:
    case XK_KP_Up:
        return WindowKey::kUp;
    case XK_Right:
    case XK_KP_Right:
        return WindowKey::kRight;
    case XK_Down:
    case XK_KP_Down:
        return WindowKey::kDown;
    default:
        return WindowKey::kNone;
    }
}

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// One 8-bit channel scaled into a visual's channel mask.
unsigned long Channel(unsigned value, unsigned long mask) {
    const int shift = ShiftOf(mask);
    const unsigned long max = mask >> shift;
    return ((value * max + 127) / 255) << shift;
}

class X11EditorWindow final : public EditorWindow {
public:
    X11EditorWindow(EditorWindowClient* client, int periodMs)
        : client_(client), periodMs_(periodMs) {}
    ~X11EditorWindow() override { Close(); }

    bool Create(Window parent, const WindowPlacement& at);

    void Start() override;
    void Close() override;
    bool StopRequested() const override { return stop_.load(std::memory_order_acquire); }
    bool OnWindowThread() const override {
        return std::this_thread::get_id() == threadId_.load(std::memory_order_acquire);
    }
    void* NativeHandle() const override { return reinterpret_cast<void*>(window_); }
    WindowPlacement Placement() const override;
    void Present(const SurfaceHandle* surface, int left, int top, int right, int bottom) override;
    void Invalidate(int left, int top, int right, int bottom) override;
    void Resize(int dw, int dh) override;
    bool DrawsOwnPopup() const override { return false; }
    bool ShowPopup(const PopupContent& content) override;
    void UpdatePopup(const PopupContent&) override {}
    void HidePopup() override;
    void PresentPopup(const SurfacePixels& pixels) override;
    void FocusPopup() override;

private:
    void Run();
    void Wake();
    void ApplyRequests();
    void ResizeWindows(int dw, int dh);
    void Dispatch(XEvent& event);
    void DispatchEditor(XEvent& event);
    void DispatchPopup(XEvent& event);
    void Emit(EditorWindowEvent& event) { client_->OnWindowEvent(event); }
    void PutPixels(Window target, const SurfacePixels& pixels, int left, int top, int right,
                   int bottom);
    bool HasWmState(Window window);

    EditorWindowClient* client_;
    int periodMs_;
    Display* display_ = nullptr;
    Window parent_ = 0;
    Window window_ = 0;
    Window popup_ = 0;
    GC gc_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    bool direct_ = false; // the visual takes our pixels as they are
    bool alive_ = false;  // false once the window was destroyed under us
    int wake_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<std::thread::id> threadId_{};
    std::atomic<bool> stop_{false};
    bool closed_ = false;

    std::atomic<int> x_{0}, y_{0}, width_{0}, height_{0};

    std::mutex requestMutex_;
    bool invalid_ = false;
    int invalidLeft_ = 0, invalidTop_ = 0, invalidRight_ = 0, invalidBottom_ = 0;
    int resizeDw_ = 0, resizeDh_ = 0;

    int exposeLeft_ = 0, exposeTop_ = 0, exposeRight_ = 0, exposeBottom_ = 0;
    bool exposing_ = false;
    bool lastPressCounts_ = false;
    Time lastPressTime_ = 0;
    int lastPressX_ = 0, lastPressY_ = 0;
};

bool X11EditorWindow::Create(Window parent, const WindowPlacement& at) {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        return false;
    }
    XWindowAttributes parentAttributes;
    {
        X11ErrorTrap trap(display_);
        const Status ok = XGetWindowAttributes(display_, parent, &parentAttributes);
        if (trap.Failed() || !ok || parentAttributes.c_class != InputOutput) {
            return false;
        }
    }
    parent_ = parent;
    visual_ = parentAttributes.visual;
    depth_ = parentAttributes.depth;
    const int width = std::max(1, at.width);
    const int height = std::max(1, at.height);

    XSetWindowAttributes attributes{};
    attributes.event_mask = kEditorEvents;
    attributes.background_pixmap = None;
    attributes.colormap = parentAttributes.colormap;
    attributes.border_pixel = 0;
    {
        X11ErrorTrap trap(display_);
        window_ = XCreateWindow(
            display_, parent, at.x, at.y, unsigned(width), unsigned(height), 0, depth_, InputOutput,
            visual_, CWEventMask | CWBackPixmap | CWColormap | CWBorderPixel, &attributes);
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        XMapWindow(display_, window_);
        if (trap.Failed()) {
            window_ = 0;
            return false;
        }
    }
    alive_ = true;
    x_ = at.x;
    y_ = at.y;
    width_ = width;
    height_ = height;

    XImage* probe =
        XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr, 1, 1, 32, 0);
    direct_ = probe && probe->bits_per_pixel == 32 && visual_->c_class == TrueColor &&
              visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 &&
              visual_->blue_mask == 0xFF;
    if (probe) {
        XDestroyImage(probe);
    }

    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    XFlush(display_);
    return true;
}

void X11EditorWindow::Start() {
    if (!thread_.joinable() && !closed_) {
        thread_ = std::thread(&X11EditorWindow::Run, this);
    }
}

void X11EditorWindow::Close() {
    if (closed_) {
        return;
    }
    stop_.store(true, std::memory_order_release);
    if (OnWindowThread()) {
        if (alive_) {
            X11ErrorTrap trap(display_);
            XUnmapWindow(display_, window_);
            trap.Failed();
        }
        return;
    }
    closed_ = true;
    if (thread_.joinable()) {
        Wake();
        thread_.join();
    }
    if (display_) {
        {
            X11ErrorTrap trap(display_);
            if (popup_) {
                XDestroyWindow(display_, popup_);
            }
            if (window_ && alive_) {
                XDestroyWindow(display_, window_);
            }
            if (gc_) {
                XFreeGC(display_, gc_);
            }
            trap.Failed();
        }
        XCloseDisplay(display_);
        display_ = nullptr;
    }
    for (int& fd : wake_) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

WindowPlacement X11EditorWindow::Placement() const {
    WindowPlacement at;
    at.x = x_;
    at.y = y_;
    at.width = width_;
    at.height = height_;
    return at;
}

void X11EditorWindow::Wake() {
    const char byte = 1;
    if (write(wake_[1], &byte, 1) < 0) {
        // The pipe is full, so the thread is woken already.
    }
}

void X11EditorWindow::Run() {
    threadId_.store(std::this_thread::get_id(), std::memory_order_release);
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(periodMs_);
    auto next = Clock::now() + period;
    const int xfd = ConnectionNumber(display_);
    while (!StopRequested()) {
        ApplyRequests();
        while (!StopRequested() && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            Dispatch(event);
        }
        if (StopRequested()) {
            break;
        }
        auto now = Clock::now();
        if (now >= next) {
            client_->OnWindowTick();
            next += period;
            if (next <= now) {
                next = now + period;
            }
            XFlush(display_);
            continue;
        }
        XFlush(display_);
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now);
        pollfd fds[2] = {{xfd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        poll(fds, 2, int(wait.count()) + 1);
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (read(wake_[0], drain, sizeof drain) > 0) {
            }
        }
    }
}

void X11EditorWindow::Invalidate(int left, int top, int right, int bottom) {
    {
        std::lock_guard<std::mutex> hold(requestMutex_);
        if (!invalid_) {
            invalidLeft_ = left;
            invalidTop_ = top;
            invalidRight_ = right;
            invalidBottom_ = bottom;
        } else {
            invalidLeft_ = std::min(invalidLeft_, left);
            invalidTop_ = std::min(invalidTop_, top);
            invalidRight_ = std::max(invalidRight_, right);
            invalidBottom_ = std::max(invalidBottom_, bottom);
        }
        invalid_ = true;
    }
    Wake();
}

void X11EditorWindow::Resize(int dw, int dh) {
    {
        std::lock_guard<std::mutex> hold(requestMutex_);
        resizeDw_ += dw;
        resizeDh_ += dh;
    }
    Wake();
}

void X11EditorWindow::ApplyRequests() {
    EditorWindowEvent expose;
    expose.kind = EditorWindowEvent::kExpose;
    bool invalid = false;
    int dw = 0, dh = 0;
    {
        std::lock_guard<std::mutex> hold(requestMutex_);
        std::swap(dw, resizeDw_);
        std::swap(dh, resizeDh_);
        std::swap(invalid, invalid_);
        expose.left = invalidLeft_;
        expose.top = invalidTop_;
        expose.right = invalidRight_;
        expose.bottom = invalidBottom_;
    }
    if (dw || dh) {
        ResizeWindows(dw, dh);
    }
    if (invalid && alive_) {
        Emit(expose);
    }
}

bool X11EditorWindow::HasWmState(Window window) {
    const Atom wmState = XInternAtom(display_, "WM_STATE", True);
    if (wmState == None) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, wmState, 0, 0, False, AnyPropertyType, &type, &format,
                       &count, &after, &data);
    if (data) {
        XFree(data);
    }
    return type != None;
}

// Grows the editor window by (dw, dh), and the host's window holding it, and that window's
// parent too when the holder is itself a child rather than a top-level window.
void X11EditorWindow::ResizeWindows(int dw, int dh) {
    if (!alive_) {
        return;
    }
    X11ErrorTrap trap(display_);
    Window root = 0, holder = parent_;
    const int width = std::max(1, width_ + dw);
    const int height = std::max(1, height_ + dh);
    XResizeWindow(display_, window_, unsigned(width), unsigned(height));
    width_ = width;
    height_ = height;
    for (int level = 0; level < 2 && holder; ++level) {
        int x, y;
        unsigned w, h, border, depth;
        if (!XGetGeometry(display_, holder, &root, &x, &y, &w, &h, &border, &depth)) {
            break;
        }
        XResizeWindow(display_, holder, unsigned(std::max(1, int(w) + dw)),
                      unsigned(std::max(1, int(h) + dh)));
        Window above = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (HasWmState(holder) || !XQueryTree(display_, holder, &root, &above, &children, &count)) {
            break;
        }
        if (children) {
            XFree(children);
        }
        holder = above == root ? 0 : above;
    }
    trap.Failed();
    Invalidate(0, 0, width, height);
}

void X11EditorWindow::Dispatch(XEvent& event) {
    if (event.xany.window == window_ && window_) {
        DispatchEditor(event);
    } else if (event.xany.window == popup_ && popup_) {
        DispatchPopup(event);
    }
    // Anything else is for a window that no longer exists.
}

void X11EditorWindow::DispatchEditor(XEvent& event) {
    EditorWindowEvent out;
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        if (!exposing_) {
            exposeLeft_ = e.x;
            exposeTop_ = e.y;
            exposeRight_ = e.x + e.width;
            exposeBottom_ = e.y + e.height;
            exposing_ = true;
        } else {
            exposeLeft_ = std::min(exposeLeft_, e.x);
            exposeTop_ = std::min(exposeTop_, e.y);
            exposeRight_ = std::max(exposeRight_, e.x + e.width);
            exposeBottom_ = std::max(exposeBottom_, e.y + e.height);
        }
        if (e.count == 0) {
            exposing_ = false;
            out.kind = EditorWindowEvent::kExpose;
            out.left = exposeLeft_;
            out.top = exposeTop_;
            out.right = exposeRight_;
            out.bottom = exposeBottom_;
            Emit(out);
        }
        return;
    }
    case ButtonPress: {
        const XButtonEvent& e = event.xbutton;
        out.x = e.x;
        out.y = e.y;
        out.keys = KeysOf(e.state);
        if (e.button == Button4 || e.button == Button5) {
            out.kind = EditorWindowEvent::kWheel;
            out.wheelDelta = e.button == Button4 ? 120 : -120;
            Emit(out);
            return;
        }
        if (e.button != Button1 && e.button != Button3) {
            return;
        }
        out.button = int(e.button);
        out.kind = EditorWindowEvent::kPress;
        if (e.button == Button1) {
            out.keys.left = true;
            if (lastPressCounts_ && e.time - lastPressTime_ <= kDoubleClickMs &&
                std::abs(e.x - lastPressX_) <= kDoubleClickSlop &&
                std::abs(e.y - lastPressY_) <= kDoubleClickSlop) {
                out.clicks = 2;
                lastPressCounts_ = false;
            } else {
                lastPressCounts_ = true;
                lastPressTime_ = e.time;
                lastPressX_ = e.x;
                lastPressY_ = e.y;
            }
        } else {
            out.keys.right = true;
            lastPressCounts_ = false;
        }
        Emit(out);
        return;
    }
    case ButtonRelease: {
        const XButtonEvent& e = event.xbutton;
        if (e.button != Button1 && e.button != Button3) {
            return;
        }
        out.kind = EditorWindowEvent::kRelease;
        out.x = e.x;
        out.y = e.y;
        out.button = int(e.button);
        out.keys = KeysOf(e.state);
        (e.button == Button1 ? out.keys.left : out.keys.right) = false;
        Emit(out);
        return;
    }
    case MotionNotify: {
        // Only the latest position of a burst matters, but never one from beyond a press or a
        // release: that would move a drag past its own end.
        while (NextIsMotionIn(display_, window_)) {
            XNextEvent(display_, &event);
        }
        const XMotionEvent& e = event.xmotion;
        out.kind = EditorWindowEvent::kMove;
        out.x = e.x;
        out.y = e.y;
        out.keys = KeysOf(e.state);
        Emit(out);
        return;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyGrab) {
            out.kind = EditorWindowEvent::kCaptureLost;
            Emit(out);
        }
        if (event.xcrossing.detail != NotifyInferior) {
            out.kind = EditorWindowEvent::kLeave;
            Emit(out);
        }
        return;
    case KeyPress: {
        XKeyEvent& e = event.xkey;
        out.kind = EditorWindowEvent::kKey;
        out.x = e.x;
        out.y = e.y;
        out.key = KeyOf(XLookupKeysym(&e, 0));
        Emit(out);
        return;
    }
    case ConfigureNotify:
        x_ = event.xconfigure.x;
        y_ = event.xconfigure.y;
        width_ = event.xconfigure.width;
        height_ = event.xconfigure.height;
        return;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_) {
            alive_ = false;
            popup_ = 0;
        }
        return;
    default:
        return;
    }
}

void X11EditorWindow::DispatchPopup(XEvent& event) {
    EditorWindowEvent out;
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) {
            out.kind = EditorWindowEvent::kPopupExpose;
            Emit(out);
        }
        return;
    case ButtonPress:
        out.kind = EditorWindowEvent::kPopupPress;
        out.x = event.xbutton.x;
        out.y = event.xbutton.y;
        out.button = int(event.xbutton.button);
        out.keys = KeysOf(event.xbutton.state);
        Emit(out);
        return;
    case FocusIn:
    case FocusOut:
        if (event.xfocus.detail == NotifyPointer || event.xfocus.detail == NotifyInferior) {
            return;
        }
        out.kind = event.type == FocusIn ? EditorWindowEvent::kPopupFocusIn
                                         : EditorWindowEvent::kPopupFocusOut;
        Emit(out);
        return;
    case KeyPress: {
        char typed[8] = {};
        KeySym sym = NoSymbol;
        const int n = XLookupString(&event.xkey, typed, sizeof typed - 1, &sym, nullptr);
        out.kind = EditorWindowEvent::kPopupKey;
        const WindowKey key = KeyOf(sym);
        if (key == WindowKey::kBackspace || key == WindowKey::kReturn || key == WindowKey::kUp ||
            key == WindowKey::kDown) {
            out.key = key;
        } else if (n == 1 && typed[0] >= 0x20 && typed[0] < 0x7F) {
            out.text[0] = typed[0];
        } else {
            return;
        }
        Emit(out);
        return;
    }
    case DestroyNotify:
        if (event.xdestroywindow.window == popup_) {
            popup_ = 0;
        }
        return;
    default:
        return;
    }
}

void X11EditorWindow::PutPixels(Window target, const SurfacePixels& pixels, int left, int top,
                                int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, pixels.width);
    bottom = std::min(bottom, pixels.height);
    if (!target || !pixels.bits || right <= left || bottom <= top) {
        return;
    }
    const int w = right - left;
    const int h = bottom - top;
    X11ErrorTrap trap(display_);
    if (direct_ && !pixels.bottomUp) {
        XImage* image =
            XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr,
                         unsigned(pixels.width), unsigned(pixels.height), 32, pixels.rowSpan * 4);
        if (image) {
            image->data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(pixels.bits));
            image->byte_order = LSBFirst;
            XPutImage(display_, target, gc_, image, left, top, left, top, unsigned(w), unsigned(h));
            image->data = nullptr;
            XDestroyImage(image);
        }
    } else {
        XImage* image = XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr,
                                     unsigned(w), unsigned(h), 32, 0);
        if (image) {
            image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * h));
            if (image->data) {
                for (int y = 0; y < h; ++y) {
                    const int row = pixels.bottomUp ? pixels.height - 1 - (top + y) : top + y;
                    const std::uint32_t* src = pixels.bits + size_t(row) * pixels.rowSpan + left;
                    for (int x = 0; x < w; ++x) {
                        const std::uint32_t p = src[x];
                        XPutPixel(image, x, y,
                                  Channel((p >> 16) & 0xFF, visual_->red_mask) |
                                      Channel((p >> 8) & 0xFF, visual_->green_mask) |
                                      Channel(p & 0xFF, visual_->blue_mask));
                    }
                }
                XPutImage(display_, target, gc_, image, 0, 0, left, top, unsigned(w), unsigned(h));
            }
            XDestroyImage(image);
        }
    }
    if (trap.Failed() && target == window_) {
        alive_ = false;
    }
}

void X11EditorWindow::Present(const SurfaceHandle* surface, int left, int top, int right,
                              int bottom) {
    if (alive_) {
        PutPixels(window_, GetSurfacePixels(surface), left, top, right, bottom);
    }
}

bool X11EditorWindow::ShowPopup(const PopupContent& content) {
    const int x = content.x, y = content.y, width = content.width, height = content.height;
    HidePopup();
    if (!alive_) {
        return false;
    }
    XSetWindowAttributes attributes{};
    attributes.event_mask = kPopupEvents;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = None;
    X11ErrorTrap trap(display_);
    XWindowAttributes own;
    XGetWindowAttributes(display_, window_, &own);
    attributes.colormap = own.colormap;
    popup_ = XCreateWindow(display_, window_, x, y, unsigned(std::max(1, width)),
                           unsigned(std::max(1, height)), 0, depth_, InputOutput, visual_,
                           CWEventMask | CWBackPixmap | CWColormap | CWBorderPixel, &attributes);
    XMapRaised(display_, popup_);
    if (trap.Failed()) {
        popup_ = 0;
        return false;
    }
    return true;
}

void X11EditorWindow::HidePopup() {
    if (popup_) {
        X11ErrorTrap trap(display_);
        XDestroyWindow(display_, popup_);
        popup_ = 0;
        trap.Failed();
    }
}

void X11EditorWindow::PresentPopup(const SurfacePixels& pixels) {
    PutPixels(popup_, pixels, 0, 0, pixels.width, pixels.height);
}

void X11EditorWindow::FocusPopup() {
    if (popup_) {
        X11ErrorTrap trap(display_);
        XSetInputFocus(display_, popup_, RevertToParent, CurrentTime);
        trap.Failed();
    }
}

} // namespace

std::unique_ptr<EditorWindow> EditorWindow::Open(std::uintptr_t parent, const WindowPlacement& at,
                                                 int fps, EditorWindowClient* client) {
    if (!parent || !client) {
        return nullptr;
    }
    auto window = std::make_unique<X11EditorWindow>(client, 1000 / (fps > 0 ? fps : 24));
    if (!window->Create(Window(parent), at)) {
        return nullptr;
    }
    return window;
}
