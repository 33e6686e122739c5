#include "platform/DesktopSession.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <chrono>
#include <cstring>

struct DesktopSession::Impl {
    Display* display = nullptr;
    Atom wmProtocols = None;
    Atom wmDelete = None;
    bool xtest = false;
    std::vector<::Window> closeAsked;
};

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

std::unique_ptr<DesktopSession> DesktopSession::Connect() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return nullptr;
    }
    auto* impl = new Impl;
    impl->display = display;
    impl->wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    impl->wmDelete = XInternAtom(display, "WM_DELETE_WINDOW", False);
    int event, error, major, minor;
    impl->xtest = XTestQueryExtension(display, &event, &error, &major, &minor);
    // A host outlives the windows it reads from; a read of a vanished one just fails.
    XSetErrorHandler(IgnoreErrors);
    return std::unique_ptr<DesktopSession>(new DesktopSession(impl));
}

DesktopSession::DesktopSession(Impl* impl) : impl_(impl) {}

DesktopSession::~DesktopSession() {
    XCloseDisplay(impl_->display);
    delete impl_;
}

DesktopSession::Window DesktopSession::CreateTopLevel(const char* title, int width, int height) {
    Display* d = impl_->display;
    const int screen = DefaultScreen(d);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(d, screen);
    attributes.event_mask = StructureNotifyMask;
    const ::Window window = XCreateWindow(d, RootWindow(d, screen), 0, 0, unsigned(width),
                                          unsigned(height), 0, CopyFromParent, InputOutput,
                                          CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(d, window, title);
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetWMNormalHints(d, window, &hints);
    XSetWMProtocols(d, window, &impl_->wmDelete, 1);
    XMapWindow(d, window);
    XSync(d, False);
    return window;
}

void DesktopSession::DestroyWindow(Window window) {
    XDestroyWindow(impl_->display, ::Window(window));
    XSync(impl_->display, False);
}

void DesktopSession::MoveWindow(Window window, int x, int y) {
    XMoveWindow(impl_->display, ::Window(window), x, y);
    XSync(impl_->display, False);
}

bool DesktopSession::WaitForClose(Window window, int timeoutMs) {
    Display* d = impl_->display;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (XPending(d) > 0) {
            XEvent event;
            XNextEvent(d, &event);
            if (event.type == ClientMessage && event.xclient.message_type == impl_->wmProtocols &&
                Atom(event.xclient.data.l[0]) == impl_->wmDelete) {
                impl_->closeAsked.push_back(event.xclient.window);
            } else if (event.type == DestroyNotify) {
                impl_->closeAsked.push_back(event.xdestroywindow.window);
            }
        }
        for (const ::Window asked : impl_->closeAsked) {
            if (asked == ::Window(window)) {
                return true;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd fd{ConnectionNumber(d), POLLIN, 0};
        poll(&fd, 1, int(left.count()));
    }
}

void DesktopSession::RequestClose(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = ::Window(window);
    event.xclient.message_type = impl_->wmProtocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(impl_->wmDelete);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(impl_->display, ::Window(window), False, NoEventMask, &event);
    XFlush(impl_->display);
}

bool DesktopSession::WindowExists(Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(impl_->display, ::Window(window), &attributes) != 0;
}

DesktopSession::Window DesktopSession::FocusedWindow() {
    ::Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(impl_->display, &focus, &revertTo);
    return focus == PointerRoot ? 0 : Window(focus);
}

bool DesktopSession::Geometry(Window window, int* x, int* y, int* width, int* height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(impl_->display, ::Window(window), &attributes)) {
        return false;
    }
    *x = attributes.x;
    *y = attributes.y;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

std::vector<DesktopSession::Window> DesktopSession::Children(Window window) {
    std::vector<Window> out;
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(impl_->display, ::Window(window), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            out.push_back(children[i]);
        }
        if (children) {
            XFree(children);
        }
    }
    return out;
}

std::vector<DesktopSession::Window> DesktopSession::TopLevelsTitled(const std::string& title) {
    std::vector<Window> out;
    for (const Window window : Children(DefaultRootWindow(impl_->display))) {
        char* name = nullptr;
        if (XFetchName(impl_->display, ::Window(window), &name) && name) {
            if (title == name) {
                out.push_back(window);
            }
            XFree(name);
        }
    }
    return out;
}

std::vector<std::uint32_t> DesktopSession::ReadPixels(Window window, int x, int y, int width,
                                                      int height) {
    std::vector<std::uint32_t> out;
    XImage* image = XGetImage(impl_->display, ::Window(window), x, y, unsigned(width),
                              unsigned(height), AllPlanes, ZPixmap);
    if (!image) {
        return out;
    }
    out.resize(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const unsigned long p = XGetPixel(image, col, row);
            auto channel = [p](unsigned long mask) {
                int shift = 0;
                while (mask && !(mask & 1)) {
                    mask >>= 1;
                    ++shift;
                }
                return mask ? std::uint32_t(((p >> shift) & mask) * 255 / mask) : 0u;
            };
            out[size_t(row) * size_t(width) + size_t(col)] = (channel(image->red_mask) << 16) |
                                                             (channel(image->green_mask) << 8) |
                                                             channel(image->blue_mask);
        }
    }
    XDestroyImage(image);
    return out;
}

bool DesktopSession::CanInject() const {
    return impl_->xtest;
}

void DesktopSession::MovePointer(Window window, int x, int y) {
    Display* d = impl_->display;
    ::Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(d, ::Window(window), DefaultRootWindow(d), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), rootX, rootY, CurrentTime);
    XFlush(d);
}

void DesktopSession::Button(int button, bool press) {
    XTestFakeButtonEvent(impl_->display, unsigned(button), press, CurrentTime);
    XFlush(impl_->display);
}

void DesktopSession::TapKey(const char* keyName) {
    Display* d = impl_->display;
    const KeySym sym = XStringToKeysym(keyName);
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
    if (!code) {
        return;
    }
    // Keys whose symbol needs shift on this keyboard get it.
    const bool shifted =
        XkbKeycodeToKeysym(d, code, 0, 0) != sym && XkbKeycodeToKeysym(d, code, 0, 1) == sym;
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L);
    if (shifted) {
        XTestFakeKeyEvent(d, shift, True, CurrentTime);
    }
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shifted) {
        XTestFakeKeyEvent(d, shift, False, CurrentTime);
    }
    XFlush(d);
}

void DesktopSession::TypeText(const char* text) {
    for (const char* c = text; *c; ++c) {
        char name[2] = {*c, 0};
        switch (*c) {
        case '.':
            TapKey("period");
            break;
        case '-':
            TapKey("minus");
            break;
        case ' ':
            TapKey("space");
            break;
        default:
            TapKey(name);
            break;
        }
    }
}

void DesktopSession::Flush() {
    XSync(impl_->display, False);
}
