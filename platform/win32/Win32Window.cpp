// The editor window on Windows: a child of the host's window of class "IPlugWndClass", on the
// thread that opened it. That thread's message loop (the host's) runs its messages and its
// redraw timer; the value-entry popup is a Windows EDIT or COMBOBOX control.

#include "platform/EditorWindow.h"
#include "platform/Module.h"
#include "platform/win32/SurfaceWin32.h"
#include "platform/win32/VirtualKeys.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

constexpr char kWindowClass[] = "IPlugWndClass";
constexpr UINT_PTR kTimerId = 2;
constexpr int kPopupId = 99;

// Shared by every editor of the module: the class is registered while any window is open.
int gWindowCount = 0;

PointerKeys KeysOf(WPARAM wParam) {
    PointerKeys keys;
    keys.left = (wParam & MK_LBUTTON) != 0;
    keys.right = (wParam & MK_RBUTTON) != 0;
    keys.shift = (wParam & MK_SHIFT) != 0;
    keys.control = (wParam & MK_CONTROL) != 0;
    keys.alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    return keys;
}

int PointX(LPARAM lParam) {
    return short(LOWORD(lParam));
}
int PointY(LPARAM lParam) {
    return short(HIWORD(lParam));
}

class Win32EditorWindow final : public EditorWindow {
public:
    Win32EditorWindow(EditorWindowClient* client, int fps)
        : client_(client), fps_(fps > 0 ? fps : 24), thread_(GetCurrentThreadId()),
          instance_(static_cast<HINSTANCE>(ThisModule().handle)) {}
    ~Win32EditorWindow() override { Close(); }

    bool Create(HWND parent, const WindowPlacement& at);

    void Start() override { SetTimer(window_, kTimerId, UINT(1000.0 / fps_), nullptr); }
    void Close() override;
    bool StopRequested() const override { return stopping_; }
    bool OnWindowThread() const override { return GetCurrentThreadId() == thread_; }
    void* NativeHandle() const override { return window_; }
    WindowPlacement Placement() const override;

    void Present(const SurfaceHandle* surface, int left, int top, int right, int bottom) override;
    void Invalidate(int left, int top, int right, int bottom) override;
    void Resize(int dw, int dh) override;

    bool DrawsOwnPopup() const override { return true; }
    bool ShowPopup(const PopupContent& content) override;
    void UpdatePopup(const PopupContent& content) override;
    void HidePopup() override;
    void PresentPopup(const SurfacePixels&) override {}
    void FocusPopup() override {
        if (popup_) {
            SetFocus(popup_);
        }
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Emit(EditorWindowEvent& event) { client_->OnWindowEvent(event); }
    void EmitPointer(EditorWindowEvent::Kind kind, int button, int clicks, WPARAM wParam,
                     LPARAM lParam);
    void EmitPopupText();

    EditorWindowClient* client_;
    int fps_;
    DWORD thread_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND popup_ = nullptr;
    WNDPROC popupDefaultProc_ = nullptr;
    HFONT popupFont_ = nullptr;
    // The paint DC while WM_PAINT runs: presenting then draws through it.
    HDC paintDC_ = nullptr;
    // Set while the window itself releases the mouse at the end of a press.
    bool releasingCapture_ = false;
    std::atomic<bool> stopping_{false};
};

bool Win32EditorWindow::Create(HWND parent, const WindowPlacement& at) {
    if (!parent || !IsWindow(parent)) {
        return false;
    }
    if (gWindowCount++ == 0) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance_;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassA(&windowClass);
    }
    window_ = CreateWindowExA(0, kWindowClass, "IPlug", WS_CHILD | WS_VISIBLE, at.x, at.y, at.width,
                              at.height, parent, nullptr, instance_, this);
    if (!window_ && --gWindowCount == 0) {
        UnregisterClassA(kWindowClass, instance_);
    }
    return window_ != nullptr;
}

void Win32EditorWindow::Close() {
    if (!window_) {
        return;
    }
    stopping_ = true;
    // The popup and the timer go with the window.
    HWND closing = window_;
    window_ = nullptr;
    popup_ = nullptr;
    DestroyWindow(closing);
    if (popupFont_) {
        DeleteObject(popupFont_);
        popupFont_ = nullptr;
    }
    if (--gWindowCount == 0) {
        UnregisterClassA(kWindowClass, instance_);
    }
}

WindowPlacement Win32EditorWindow::Placement() const {
    WindowPlacement at;
    RECT own{}, parentRect{};
    if (window_ && GetWindowRect(window_, &own) && GetWindowRect(GetParent(window_), &parentRect)) {
        at.x = own.left - parentRect.left;
        at.y = own.top - parentRect.top;
        at.width = own.right - own.left;
        at.height = own.bottom - own.top;
    }
    return at;
}

void Win32EditorWindow::Present(const SurfaceHandle* surface, int left, int top, int right,
                                int bottom) {
    if (!window_) {
        return;
    }
    HDC dc = paintDC_ ? paintDC_ : GetDC(window_);
    BitBlt(dc, left, top, right - left, bottom - top, SurfaceDeviceContext(surface), left, top,
           SRCCOPY);
    if (!paintDC_) {
        ReleaseDC(window_, dc);
    }
}

void Win32EditorWindow::Invalidate(int left, int top, int right, int bottom) {
    if (window_) {
        RECT area{left, top, right, bottom};
        InvalidateRect(window_, &area, FALSE);
    }
}

void Win32EditorWindow::Resize(int dw, int dh) {
    if (!window_) {
        return;
    }
    RECT own{};
    GetWindowRect(window_, &own);
    const int w0 = own.right - own.left;
    const int h0 = own.bottom - own.top;
    // A plain child window's parent (and its parent) grow with it, as a host's frame would.
    auto isPlainChild = [](HWND w) {
        return (GetWindowLongA(w, GWL_STYLE) & WS_CHILD) &&
               !(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_MDICHILD);
    };
    HWND parent = isPlainChild(window_) ? GetParent(window_) : nullptr;
    HWND grandparent = parent && isPlainChild(parent) ? GetParent(parent) : nullptr;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(window_, nullptr, 0, 0, w0 + dw, h0 + dh, flags);
    for (HWND outer : {parent, grandparent}) {
        if (outer) {
            RECT r{};
            GetWindowRect(outer, &r);
            SetWindowPos(outer, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, flags);
        }
    }
    RECT old{0, 0, w0, h0};
    InvalidateRect(window_, &old, FALSE);
}

bool Win32EditorWindow::ShowPopup(const PopupContent& content) {
    HidePopup();
    if (!window_) {
        return false;
    }
    if (content.list) {
        popup_ = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST,
                                 content.x, content.y, content.width, content.height, window_,
                                 reinterpret_cast<HMENU>(INT_PTR(kPopupId)), instance_, nullptr);
        for (size_t i = 0; popup_ && i < content.items.size(); ++i) {
            SendMessageA(popup_, CB_ADDSTRING, 0, LPARAM(content.items[i].c_str()));
        }
        if (popup_ && content.selected >= 0) {
            SendMessageA(popup_, CB_SETCURSEL, WPARAM(content.selected), 0);
        }
    } else {
        popup_ = CreateWindowExA(0, "EDIT", content.text.c_str(),
                                 WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE, content.x,
                                 content.y, content.width, content.height, window_,
                                 reinterpret_cast<HMENU>(INT_PTR(kPopupId)), instance_, nullptr);
    }
    if (!popup_) {
        return false;
    }
    popupDefaultProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(popup_, GWLP_WNDPROC, LONG_PTR(PopupProc)));
    SetWindowLongPtrA(popup_, GWLP_USERDATA, LONG_PTR(this));
    popupFont_ = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SendMessageA(popup_, WM_SETFONT, WPARAM(popupFont_), 0);
    return true;
}

void Win32EditorWindow::UpdatePopup(const PopupContent& content) {
    if (!popup_) {
        return;
    }
    if (content.list) {
        if (content.selected >= 0 && SendMessageA(popup_, CB_GETCURSEL, 0, 0) != content.selected) {
            SendMessageA(popup_, CB_SETCURSEL, WPARAM(content.selected), 0);
        }
        return;
    }
    char shown[64] = "";
    GetWindowTextA(popup_, shown, sizeof shown);
    if (content.text != shown) {
        SetWindowTextA(popup_, content.text.c_str());
    }
}

void Win32EditorWindow::HidePopup() {
    if (popup_) {
        HWND popup = popup_;
        popup_ = nullptr;
        SetWindowLongPtrA(popup, GWLP_WNDPROC, LONG_PTR(popupDefaultProc_));
        DestroyWindow(popup);
    }
    if (popupFont_) {
        DeleteObject(popupFont_);
        popupFont_ = nullptr;
    }
}

void Win32EditorWindow::EmitPointer(EditorWindowEvent::Kind kind, int button, int clicks,
                                    WPARAM wParam, LPARAM lParam) {
    EditorWindowEvent event;
    event.kind = kind;
    event.x = PointX(lParam);
    event.y = PointY(lParam);
    event.button = button;
    event.clicks = clicks;
    event.keys = KeysOf(wParam);
    Emit(event);
}

void Win32EditorWindow::EmitPopupText() {
    EditorWindowEvent event;
    event.kind = EditorWindowEvent::kPopupText;
    GetWindowTextA(popup_, event.text, sizeof event.text);
    Emit(event);
}

LRESULT CALLBACK Win32EditorWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
        return 0;
    }
    auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || window != self->window_) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32EditorWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    EditorWindowEvent event;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        paintDC_ = BeginPaint(window_, &paint);
        if (!IsRectEmpty(&paint.rcPaint)) {
            event.kind = EditorWindowEvent::kExpose;
            event.left = paint.rcPaint.left;
            event.top = paint.rcPaint.top;
            event.right = paint.rcPaint.right;
            event.bottom = paint.rcPaint.bottom;
            Emit(event);
        }
        if (window_) {
            EndPaint(window_, &paint);
        }
        paintDC_ = nullptr;
        return 0;
    }
    case WM_CLOSE:
        event.kind = EditorWindowEvent::kCloseRequest;
        Emit(event);
        return 0;
    case WM_KEYDOWN: {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(window_, &cursor);
        event.kind = EditorWindowEvent::kKey;
        event.x = cursor.x;
        event.y = cursor.y;
        event.key = WindowKeyForVirtualKey(int(wParam));
        Emit(event);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimerId) {
            client_->OnWindowTick();
        }
        return 0;
    case WM_MOUSEMOVE:
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON))) {
            // The editor hears the pointer leave only where the system is asked to tell.
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window_, HOVER_DEFAULT};
            TrackMouseEvent(&track);
        } else if (GetCapture() != window_) {
            return 0;
        }
        EmitPointer(EditorWindowEvent::kMove, 0, 1, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        SetCapture(window_);
        EmitPointer(EditorWindowEvent::kPress, message == WM_LBUTTONDOWN ? 1 : 3, 1, wParam,
                    lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        SetCapture(window_);
        EmitPointer(EditorWindowEvent::kPress, 1, 2, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
        EmitPointer(EditorWindowEvent::kRelease, message == WM_LBUTTONUP ? 1 : 3, 1, wParam,
                    lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse mid-press: its release will not come here.
        if (!releasingCapture_ && HWND(lParam) != window_) {
            event.kind = EditorWindowEvent::kCaptureLost;
            Emit(event);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        RECT own{};
        GetWindowRect(window_, &own);
        event.kind = EditorWindowEvent::kWheel;
        event.x = PointX(lParam) - own.left;
        event.y = PointY(lParam) - own.top;
        event.keys = KeysOf(LOWORD(wParam));
        event.wheelDelta = short(HIWORD(wParam));
        Emit(event);
        return 0;
    }
    case WM_MOUSELEAVE:
        event.kind = EditorWindowEvent::kLeave;
        Emit(event);
        return 0;
    case WM_COMMAND:
        // The popup's changes reach its parent, the editor, not the popup itself.
        if (popup_ && LOWORD(wParam) == kPopupId) {
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                event.kind = EditorWindowEvent::kPopupChoice;
                event.choice = int(SendMessageA(popup_, CB_GETCURSEL, 0, 0));
                Emit(event);
                return 0;
            }
            if (HIWORD(wParam) == EN_CHANGE) {
                EmitPopupText();
                return 0;
            }
        }
        return DefWindowProcA(window_, message, wParam, lParam);
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK Win32EditorWindow::PopupProc(HWND popup, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrA(popup, GWLP_USERDATA));
    if (!self || popup != self->popup_) {
        return DefWindowProcA(popup, message, wParam, lParam);
    }
    EditorWindowEvent event;
    switch (message) {
    case WM_SETFOCUS:
        event.kind = EditorWindowEvent::kPopupFocusIn;
        self->Emit(event);
        break;
    case WM_KILLFOCUS:
        event.kind = EditorWindowEvent::kPopupFocusOut;
        self->Emit(event);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            // A multi-line text box reports no change for text set from outside: the text
            // goes along with the key that commits it.
            self->EmitPopupText();
            event.kind = EditorWindowEvent::kPopupKey;
            event.key = WindowKey::kReturn;
            self->Emit(event);
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(self->popupDefaultProc_, popup, message, wParam, lParam);
}

} // namespace

WindowKey WindowKeyForVirtualKey(int code) {
    switch (code) {
    case VK_SPACE:
        return WindowKey::kSpace;
    case VK_UP:
        return WindowKey::kUp;
    case VK_DOWN:
        return WindowKey::kDown;
    case VK_LEFT:
        return WindowKey::kLeft;
    case VK_RIGHT:
        return WindowKey::kRight;
    case VK_BACK:
        return WindowKey::kBackspace;
    case VK_RETURN:
        return WindowKey::kReturn;
    default:
        break;
    }
    if (code >= '0' && code <= '9') {
        return WindowKey(int(WindowKey::kDigit0) + code - '0');
    }
    if (code >= 'A' && code <= 'Z') {
        return WindowKey(int(WindowKey::kLetterA) + code - 'A');
    }
    if (code >= 'a' && code <= 'z') {
        return WindowKey(int(WindowKey::kLetterA) + code - 'a');
    }
    return WindowKey::kNone;
}

std::unique_ptr<EditorWindow> EditorWindow::Open(std::uintptr_t parent, const WindowPlacement& at,
                                                 int fps, EditorWindowClient* client) {
    auto window = std::make_unique<Win32EditorWindow>(client, fps);
    if (!window->Create(reinterpret_cast<HWND>(parent), at)) {
        return nullptr;
    }
    return window;
}
