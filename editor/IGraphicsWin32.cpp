#include "editor/IGraphicsWin32.h"

#include "common/FormatNumber.h"
#include "editor/EditorTick.h"
#include "editor/IControl.h"
#include "editor/ITextStyle.h"
#include "editor/KeyTable.h"
#include "editor/PlatformGraphics.h"
#include "platform/Module.h"
#include "platform/win32/SurfaceWin32.h"
#include "plugin/IParameter.h"
#include "raster/RasterBitmap.h"
#include "raster/RasterImageLoad.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kWindowClass[] = "IPlugWndClass";
constexpr UINT_PTR kTimerId = 2;
constexpr int kPopupId = 99;

// Shared by every editor of the module: the class is registered while any window is open.
int gWindowCount = 0;
double gFrameRate = 24.0;

IMouseKeys KeysOf(WPARAM wParam) {
    IMouseKeys keys;
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

// The folder of a full file name with its backslash at the end; empty when the name holds
// no backslash or ends with one.
std::string FolderOfWindowsPath(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    if (!slash || slash[1] == '\0') {
        return std::string();
    }
    return std::string(path, size_t(slash - path + 1));
}

std::string FolderOfModule(HMODULE module) {
    char path[256];
    const DWORD n = GetModuleFileNameA(module, path, sizeof path);
    if (n == 0 || n >= sizeof path) {
        return std::string();
    }
    return FolderOfWindowsPath(path);
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const char* caption = reinterpret_cast<const char*>(choose->lCustData);
        if (caption) {
            SetWindowTextA(dialog, caption);
        }
    }
    return 0;
}

} // namespace

IGraphicsLice* MakePlatformGraphics(IEditorDelegate* plug, int width, int height, int fps) {
    return new IGraphicsWin32(plug, width, height, fps);
}

IGraphicsWin32::IGraphicsWin32(IEditorDelegate* plug, int width, int height, int fps)
    : IGraphicsLice(plug, width, height, fps),
      instance_(static_cast<HINSTANCE>(ThisModule().handle)) {}

IGraphicsWin32::~IGraphicsWin32() {
    CloseEditorWindow();
    delete[] customColours_;
}

HDC IGraphicsWin32::SurfaceDC() const {
    RasterBitmap* surface = Surface();
    return surface ? SurfaceDeviceContext(static_cast<SurfaceHandle*>(surface->GetDeviceContext()))
                   : nullptr;
}

void* IGraphicsWin32::OpenEditorWindow(void* parent) {
    HWND parentWindow = static_cast<HWND>(parent);
    int x = 0, y = 0, w = Width(), h = Height();
    if (window_) {
        // Reopening keeps the window where it was and as large as it was.
        RECT own{}, parentRect{};
        GetWindowRect(window_, &own);
        GetWindowRect(parentWindow, &parentRect);
        x = own.left - parentRect.left;
        y = own.top - parentRect.top;
        w = own.right - own.left;
        h = own.bottom - own.top;
        CloseEditorWindow();
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
    gFrameRate = FrameRate();
    window_ = CreateWindowExA(0, kWindowClass, "IPlug", WS_CHILD | WS_VISIBLE, x, y, w, h,
                              parentWindow, nullptr, instance_, this);
    if (window_) {
        MarkAllControlsDirty();
    } else if (--gWindowCount == 0) {
        UnregisterClassA(kWindowClass, instance_);
    }
    return window_;
}

void IGraphicsWin32::CloseEditorWindow() {
    if (!window_) {
        return;
    }
    // The popup and the timer go with the window.
    HWND closing = window_;
    window_ = nullptr;
    DestroyWindow(closing);
    MouseCaptureLost();
    if (--gWindowCount == 0) {
        UnregisterClassA(kWindowClass, instance_);
    }
    ForgetEntry();
}

LRESULT CALLBACK IGraphicsWin32::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
        SetTimer(window, kTimerId, UINT(1000.0 / gFrameRate), nullptr);
        return 0;
    }
    auto* editor = reinterpret_cast<IGraphicsWin32*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!editor || window != editor->window_) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return editor->HandleMessage(window, message, wParam, lParam);
}

LRESULT IGraphicsWin32::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (entryWindow_ && entryState_ == Focused) {
        // While the user types, only a right click on the editor (cancel) is the editor's.
        if (message == WM_RBUTTONDOWN) {
            entryState_ = Cancel;
            return 0;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == kPopupId &&
            HIWORD(wParam) == CBN_SELCHANGE) {
            entryState_ = Commit;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT: {
        RECT update{};
        if (GetUpdateRect(window, &update, FALSE) && !IsRectEmpty(&update)) {
            RedrawArea(IRectangle(update.left, update.top, update.right, update.bottom));
        }
        return 0;
    }
    case WM_CLOSE:
        CloseEditorWindow();
        return 0;
    case WM_KEYDOWN: {
        const int key = KeyNumberForVirtualKey(int(wParam));
        if (key < 0) {
            return 0;
        }
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(window, &cursor);
        KeyDown(cursor.x, cursor.y, key);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimerId) {
            Tick();
        }
        return 0;
    case WM_MOUSEMOVE:
        if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
            if (GetCapture() == window) {
                MouseDrag(PointX(lParam), PointY(lParam), KeysOf(wParam));
            }
        } else if (MouseOver(PointX(lParam), PointY(lParam), KeysOf(wParam))) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, HOVER_DEFAULT};
            TrackMouseEvent(&track);
        }
        return 0;
    case WM_RBUTTONDOWN:
        if (entryWindow_) {
            entryState_ = Cancel;
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        SetCapture(window);
        MouseDown(PointX(lParam), PointY(lParam), KeysOf(wParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
        MouseUp(PointX(lParam), PointY(lParam), KeysOf(wParam));
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse mid-press: its release will not come here.
        if (!releasingCapture_ && HWND(lParam) != window) {
            MouseCaptureLost();
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        if (MouseDoubleClick(PointX(lParam), PointY(lParam), KeysOf(wParam))) {
            SetCapture(window);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        RECT own{};
        GetWindowRect(window, &own);
        const int notches = WheelNotches(short(HIWORD(wParam)));
        MouseWheel(PointX(lParam) - own.left, PointY(lParam) - own.top, KeysOf(LOWORD(wParam)),
                   notches);
        return 0;
    }
    case WM_MOUSELEAVE:
        MouseLeft();
        return 0;
    case WM_COMMAND:
        // A choice in the drop-down list reaches its parent, the editor, not the list itself.
        if (entryWindow_ && LOWORD(wParam) == kPopupId && HIWORD(wParam) == CBN_SELCHANGE) {
            entryState_ = Commit;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void IGraphicsWin32::Tick() {
    if (entryWindow_ && entryState_ != Idle) {
        switch (entryState_) {
        case RefreshText: {
            char text[IParameter::kTextSize];
            entryParam_->FormatValue(entryParam_->Value(), false, text);
            SetWindowTextA(entryWindow_, text);
            entryState_ = Idle;
            break;
        }
        case Cancel:
            EndEntry();
            break;
        case Commit:
            CommitEntry();
            EndEntry();
            break;
        default:
            entryState_ = Idle;
            break;
        }
        return;
    }
    IRectangle area;
    if (CollectDirtyArea(area)) {
        RECT dirty{area.left, area.top, area.right, area.bottom};
        InvalidateRect(window_, &dirty, FALSE);
        UpdateWindow(window_);
        if (entryWindow_) {
            entryState_ = RefreshText;
        }
    }
}

void IGraphicsWin32::CommitEntry() {
    char text[TextEntry::kMaxChars + 1] = "";
    GetWindowTextA(entryWindow_, text, sizeof text);
    double plain = 0.0;
    if (entryParam_->ValueTextCount() > 0) {
        int value = 0;
        plain = entryParam_->ValueForText(text, &value) ? value : 0.0;
    } else {
        plain = ParseLeadingNumber(text);
    }
    entryControl_->ApplyUserValue(entryParam_->NormalizedOf(plain));
}

void IGraphicsWin32::EndEntry() {
    if (entryWindow_) {
        SetWindowLongPtrA(entryWindow_, GWLP_WNDPROC, LONG_PTR(entryDefaultProc_));
        DestroyWindow(entryWindow_);
    }
    ForgetEntry();
}

void IGraphicsWin32::ForgetEntry() {
    if (entryFont_) {
        DeleteObject(entryFont_);
        entryFont_ = nullptr;
    }
    entryWindow_ = nullptr;
    entryControl_ = nullptr;
    entryParam_ = nullptr;
    entryDefaultProc_ = nullptr;
    entryState_ = Idle;
}

void IGraphicsWin32::BeginValueEntry(IControl* control, IParameter* param) {
    if (!control || !param || entryWindow_ || !window_) {
        return;
    }
    const IRectangle& rect = control->Rect();
    const int centreX = int(float(rect.left + rect.right) * 0.5f);
    const int centreY = int(float(rect.top + rect.bottom) * 0.5f);
    char currentText[IParameter::kTextSize];
    param->FormatValue(param->Value(), false, currentText);

    const int items = param->ValueTextCount();
    if (items > 0) {
        size_t longest = 0;
        for (int i = 0; i < items; ++i) {
            longest = std::max(longest, std::strlen(param->ValueTextFor(i)));
        }
        const int w = 24 + 8 * int(longest);
        const int h = 36 * (items + 1);
        entryWindow_ = CreateWindowExA(
            0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, centreX - w / 2, centreY,
            w, h, window_, reinterpret_cast<HMENU>(INT_PTR(kPopupId)), instance_, nullptr);
        int selected = -1;
        for (int i = 0; entryWindow_ && i < items; ++i) {
            SendMessageA(entryWindow_, CB_ADDSTRING, 0, LPARAM(param->ValueTextFor(i)));
            if (std::strcmp(param->ValueTextFor(i), currentText) == 0) {
                selected = i;
            }
        }
        if (entryWindow_ && selected >= 0) {
            SendMessageA(entryWindow_, CB_SETCURSEL, WPARAM(selected), 0);
        }
    } else {
        const int w = std::max(rect.Width(), 36);
        const int h = std::max(rect.Height(), 16);
        entryWindow_ = CreateWindowExA(
            0, "EDIT", currentText, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_MULTILINE,
            centreX - w / 2, centreY - h / 2, w, h, window_,
            reinterpret_cast<HMENU>(INT_PTR(kPopupId)), instance_, nullptr);
    }
    if (!entryWindow_) {
        return;
    }
    entryDefaultProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(entryWindow_, GWLP_WNDPROC, LONG_PTR(PopupProc)));
    SetWindowLongPtrA(entryWindow_, GWLP_USERDATA, LONG_PTR(this));
    entryFont_ = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SendMessageA(entryWindow_, WM_SETFONT, WPARAM(entryFont_), 0);
    entryControl_ = control;
    entryParam_ = param;
}

LRESULT CALLBACK IGraphicsWin32::PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* editor = reinterpret_cast<IGraphicsWin32*>(GetWindowLongPtrA(popup, GWLP_USERDATA));
    if (!editor || popup != editor->entryWindow_) {
        return DefWindowProcA(popup, message, wParam, lParam);
    }
    switch (message) {
    case WM_SETFOCUS:
        editor->entryState_ = Focused;
        break;
    case WM_KILLFOCUS:
        editor->entryState_ = Idle;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            editor->entryState_ = Commit;
            return 0;
        }
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            editor->entryState_ = Commit;
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(editor->entryDefaultProc_, popup, message, wParam, lParam);
}

bool IGraphicsWin32::PresentArea(const IRectangle& area) {
    PAINTSTRUCT paint;
    HDC windowDC = BeginPaint(window_, &paint);
    BitBlt(windowDC, area.left, area.top, area.Width(), area.Height(), SurfaceDC(), area.left,
           area.top, SRCCOPY);
    EndPaint(window_, &paint);
    return true;
}

bool IGraphicsWin32::DrawTextInRect(const ITextStyle& style, const char* text,
                                    const IRectangle& rect) {
    if (!text) {
        return true;
    }
    HDC dc = SurfaceDC();
    if (!dc) {
        return false;
    }
    if (!fontCreated_) {
        // The first style's font serves every later text of this editor.
        HFONT font =
            CreateFontA(style.size, 0, style.orientation * 10, style.orientation * 10,
                        style.style == ITextStyle::Bold ? FW_BOLD : 0,
                        style.style == ITextStyle::Italic, 0, 0, 0, 0, 0, 0, 0, style.font);
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        fontCreated_ = true;
        SetTextColor(dc, RGB(style.colour.red, style.colour.green, style.colour.blue));
        textColour_ = style.colour;
    } else if (style.colour != textColour_) {
        SetTextColor(dc, RGB(style.colour.red, style.colour.green, style.colour.blue));
        textColour_ = style.colour;
    }
    UINT format = DT_NOCLIP;
    if (style.align == ITextStyle::Centre) {
        format |= DT_CENTER;
    } else if (style.align == ITextStyle::Right) {
        format |= DT_RIGHT;
    }
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    return DrawTextA(dc, text, -1, &r, format) != 0;
}

void IGraphicsWin32::ChangeSize(int width, int height) {
    const int dw = width - Width();
    const int dh = height - Height();
    IGraphicsBase::ChangeSize(width, height);
    ResizeSurface();
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

void IGraphicsWin32::GetHostFolder(std::string& out) {
    out = FolderOfModule(nullptr);
}

void IGraphicsWin32::GetModuleFolder(std::string& out) {
    out = FolderOfModule(instance_);
}

void IGraphicsWin32::AskForFile(std::string& out, int action, const char* startFolder) {
    out.clear();
    if (!window_) {
        return;
    }
    std::string folder;
    if (startFolder && *startFolder) {
        folder = startFolder;
    } else {
        GetHostFolder(folder);
    }
    folder = folder.substr(0, 255);
    char file[256] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = file;
    dialog.nMaxFile = 255;
    dialog.lpstrInitialDir = folder.c_str();
    const bool save = action == 1;
    dialog.Flags =
        save ? (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST) : (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    if (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) {
        out = file;
    }
}

bool IGraphicsWin32::AskForColour(IRgba& colour, const char* caption) {
    if (!window_) {
        return false;
    }
    if (!customColours_) {
        customColours_ = new COLORREF[16]();
    }
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.rgbResult = RGB(colour.red, colour.green, colour.blue);
    dialog.lpCustColors = customColours_;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SOLIDCOLOR | CC_ANYCOLOR | CC_ENABLEHOOK;
    dialog.lCustData = LPARAM(caption);
    dialog.lpfnHook = ColourDialogHook;
    if (!ChooseColorA(&dialog)) {
        return false;
    }
    colour.red = GetRValue(dialog.rgbResult);
    colour.green = GetGValue(dialog.rgbResult);
    colour.blue = GetBValue(dialog.rgbResult);
    return true;
}

bool IGraphicsWin32::OpenWebLink(const char* url, const char* caption, const char* confirmText,
                                 const char* failText) {
    if (confirmText && MessageBoxA(window_, confirmText, caption, MB_YESNO) != IDYES) {
        return false;
    }
    DWORD connection = 0;
    if (url && InternetGetConnectedState(&connection, 0) &&
        INT_PTR(ShellExecuteA(window_, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) > 32) {
        return true;
    }
    if (failText) {
        MessageBoxA(window_, failText, caption, MB_OK);
    }
    return false;
}

RasterBitmap* IGraphicsWin32::DecodeImageResource(int id, const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    const char* dot = std::strrchr(name, '.');
    // A name without a dot is taken from its second character on, as its whole "extension".
    const char* extension = dot ? dot + 1 : name + 1;
    if (lstrcmpiA(extension, "png") == 0) {
        return RasterLoadPngResource(instance_, id, nullptr);
    }
    if (lstrcmpiA(extension, "jpg") == 0 || lstrcmpiA(extension, "jpeg") == 0) {
        return RasterLoadJpegResource(instance_, id, nullptr);
    }
    return nullptr;
}
