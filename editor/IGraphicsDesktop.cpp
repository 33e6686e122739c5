#include "editor/IGraphicsDesktop.h"

#include "editor/EditorTick.h"
#include "editor/IControl.h"
#include "editor/KeyTable.h"
#include "editor/TextEntryPopup.h"
#include "platform/DesktopDialogs.h"
#include "platform/FontRenderer.h"
#include "platform/HostProcess.h"
#include "platform/Module.h"
#include "platform/RecursiveLock.h"
#include "plugin/IEditorDelegate.h"
#include "raster/MemoryBitmap.h"
#include "raster/RasterImageLoad.h"

#include <cctype>
#include <chrono>
#include <cstring>

namespace {

IMouseKeys MouseKeysOf(const PointerKeys& keys) {
    IMouseKeys out;
    out.left = keys.left;
    out.right = keys.right;
    out.shift = keys.shift;
    out.control = keys.control;
    out.alt = keys.alt;
    return out;
}

SurfacePixels PixelsOf(const RasterBitmap* bitmap) {
    SurfacePixels pixels;
    if (bitmap) {
        pixels.bits = bitmap->GetBits();
        pixels.width = bitmap->GetWidth();
        pixels.height = bitmap->GetHeight();
        pixels.rowSpan = bitmap->GetRowSpan();
    }
    return pixels;
}

SurfaceHandle* SurfaceOf(const RasterBitmap* bitmap) {
    return bitmap ? static_cast<SurfaceHandle*>(bitmap->GetDeviceContext()) : nullptr;
}

bool SameWithoutCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
    }
    return *a == *b;
}

// What a popup shows of a text entry.
PopupContent ContentOf(const TextEntryView& view) {
    PopupContent content;
    content.x = view.rect.left;
    content.y = view.rect.top;
    content.width = view.rect.Width();
    content.height = view.rect.Height();
    content.list = view.list;
    content.text = view.text;
    content.items = view.items;
    content.selected = view.selected;
    return content;
}

} // namespace

IGraphicsDesktop::IGraphicsDesktop(IEditorDelegate* plug, int width, int height, int fps)
    : IGraphicsLice(plug, width, height, fps) {}

IGraphicsDesktop::~IGraphicsDesktop() {
    CloseEditorWindow();
    retiring_.reset();
}

bool IGraphicsDesktop::PresentArea(const IRectangle& area) {
    if (!window_) {
        return true;
    }
    if (window_->OnWindowThread()) {
        window_->Present(SurfaceOf(Surface()), area.left, area.top, area.right, area.bottom);
    } else {
        // Only the window's thread talks to the window; the pixels are on the surface already.
        window_->Invalidate(area.left, area.top, area.right, area.bottom);
    }
    return true;
}

bool IGraphicsDesktop::DrawTextInRect(const ITextStyle& style, const char* text,
                                      const IRectangle& rect) {
    if (!text) {
        return true;
    }
    RasterBitmap* surface = Surface();
    if (!surface) {
        return false;
    }
    if (!fontTried_) {
        fontTried_ = true;
        font_ = FontRenderer::Create(style.font, style.size, style.style == ITextStyle::Bold,
                                     style.style == ITextStyle::Italic, style.orientation);
    }
    if (!font_) {
        return false;
    }
    TextTarget target;
    target.bits = surface->GetBits();
    target.width = surface->GetWidth();
    target.height = surface->GetHeight();
    target.rowSpan = surface->GetRowSpan();
    target.surface = SurfaceOf(surface);
    const int align = style.align == ITextStyle::Centre  ? FontRenderer::kCentre
                      : style.align == ITextStyle::Right ? FontRenderer::kRight
                                                         : FontRenderer::kLeft;
    const std::uint32_t rgb = std::uint32_t(style.colour.red & 0xFF) << 16 |
                              std::uint32_t(style.colour.green & 0xFF) << 8 |
                              std::uint32_t(style.colour.blue & 0xFF);
    return font_->Draw(target, text, rect.left, rect.top, rect.right, rect.bottom, align, rgb);
}

void IGraphicsDesktop::ChangeSize(int width, int height) {
    const int dw = width - Width();
    const int dh = height - Height();
    // The controls go away: an entry for one of them ends with them.
    entry_.End();
    {
        std::lock_guard<std::mutex> hold(drawMutex_);
        IGraphicsBase::ChangeSize(width, height);
        ResizeSurface();
    }
    if (window_) {
        window_->Resize(dw, dh);
    }
}

void IGraphicsDesktop::BeginValueEntry(IControl* control, IParameter* param) {
    // The popup itself appears when the window thread next looks at the entry.
    entry_.Begin(control, param);
}

void IGraphicsDesktop::GetHostFolder(std::string& out) {
    out = FolderOfPath(HostExecutablePath());
}

void IGraphicsDesktop::GetModuleFolder(std::string& out) {
    out = FolderOfPath(ThisModule().path);
}

template <typename Dialog> auto IGraphicsDesktop::RunModal(Dialog dialog) {
    const bool release = inputLocked_ && window_ && window_->OnWindowThread();
    if (release) {
        Plug()->Lock().Unlock();
        inputLocked_ = false;
    }
    auto answer = dialog();
    if (release && !LockForInput()) {
        inputLockLost_ = true;
    }
    return answer;
}

void IGraphicsDesktop::AskForFile(std::string& out, int action, const char* startFolder) {
    out.clear();
    if (!IsWindowOpen()) {
        return;
    }
    std::string folder;
    if (startFolder && *startFolder) {
        folder = startFolder;
    } else {
        GetHostFolder(folder);
    }
    folder = folder.substr(0, 255);
    std::string chosen;
    if (RunModal([&] { return AskDesktopForFile(Owner(), action == 1, folder, &chosen); })) {
        out = chosen;
    }
}

bool IGraphicsDesktop::AskForColour(IRgba& colour, const char* caption) {
    if (!IsWindowOpen()) {
        return false;
    }
    int red = colour.red, green = colour.green, blue = colour.blue;
    if (!RunModal([&] { return AskDesktopForColour(Owner(), caption, &red, &green, &blue); })) {
        return false;
    }
    colour.red = red;
    colour.green = green;
    colour.blue = blue;
    return true;
}

bool IGraphicsDesktop::OpenWebLink(const char* url, const char* caption, const char* confirmText,
                                   const char* failText) {
    return RunModal([&] {
        if (confirmText && !AskDesktopYesNo(Owner(), caption, confirmText)) {
            return false;
        }
        if (url && OpenDesktopLink(Owner(), url)) {
            return true;
        }
        if (failText) {
            ShowDesktopMessage(Owner(), caption, failText);
        }
        return false;
    });
}

void* IGraphicsDesktop::OpenEditorWindow(void* parent) {
    if (retiring_ && !retiring_->OnWindowThread()) {
        retiring_.reset();
    }
    WindowPlacement at;
    at.width = Width();
    at.height = Height();
    if (window_) {
        at = window_->Placement();
        CloseEditorWindow();
    }
    window_ = EditorWindow::Open(reinterpret_cast<std::uintptr_t>(parent), at, FrameRate(), this);
    if (!window_) {
        return nullptr;
    }
    MarkAllControlsDirty();
    window_->Start();
    return window_->NativeHandle();
}

void IGraphicsDesktop::CloseEditorWindow() {
    if (!window_) {
        return;
    }
    window_->Close();
    MouseCaptureLost();
    if (window_->OnWindowThread()) {
        retiring_ = std::move(window_);
    } else {
        window_.reset();
    }
    entry_.End();
    deferred_ = IRectangle();
    captured_ = false;
    leaveRequested_ = false;
    focusWanted_ = false;
    entryShown_ = false;
}

void* IGraphicsDesktop::Owner() const {
    return window_ ? window_->NativeHandle() : nullptr;
}

void* IGraphicsDesktop::NativeWindow() {
    return window_ ? window_->NativeHandle() : nullptr;
}

bool IGraphicsDesktop::LockForInput() {
    if (!Plug()) {
        return true;
    }
    // Waiting in short slices keeps a close request from waiting behind a busy lock.
    RecursiveLock& lock = Plug()->Lock();
    while (!lock.TryLockFor(std::chrono::milliseconds(2))) {
        if (!window_ || window_->StopRequested()) {
            return false;
        }
    }
    inputLocked_ = true;
    return true;
}

void IGraphicsDesktop::UnlockAfterInput() {
    if (inputLockLost_) {
        inputLockLost_ = false;
        return;
    }
    if (Plug() && inputLocked_) {
        inputLocked_ = false;
        Plug()->Lock().Unlock();
    }
}

void IGraphicsDesktop::OnWindowEvent(const EditorWindowEvent& event) {
    switch (event.kind) {
    case EditorWindowEvent::kExpose: {
        const IRectangle area(event.left, event.top, event.right, event.bottom);
        if (entry_.State() == Focused) {
            deferred_ = deferred_.Union(area);
        } else {
            Repaint(area);
        }
        return;
    }
    case EditorWindowEvent::kPopupExpose:
        if (entryShown_ && entryPixels_) {
            window_->PresentPopup(PixelsOf(entryPixels_.get()));
        }
        return;
    default:
        break;
    }
    if (!LockForInput()) {
        return;
    }
    switch (event.kind) {
    case EditorWindowEvent::kPopupPress:
    case EditorWindowEvent::kPopupFocusIn:
    case EditorWindowEvent::kPopupFocusOut:
    case EditorWindowEvent::kPopupKey:
    case EditorWindowEvent::kPopupText:
    case EditorWindowEvent::kPopupChoice:
        HandlePopupInput(event);
        break;
    default:
        HandleEditorInput(event);
        break;
    }
    const TextEntryView view = entry_.View();
    UnlockAfterInput();
    ShowEntry(view, false);
}

void IGraphicsDesktop::HandleEditorInput(const EditorWindowEvent& event) {
    const bool entryOpen = entry_.IsOpen();
    const bool rightPress = event.kind == EditorWindowEvent::kPress && event.button == 3;
    if (entryOpen && (entry_.State() == Focused || rightPress)) {
        // While the user types only a right click gets through, and it cancels the entry.
        if (rightPress) {
            entry_.SetState(Cancel);
        }
        return;
    }
    const IMouseKeys keys = MouseKeysOf(event.keys);
    switch (event.kind) {
    case EditorWindowEvent::kPress:
        if (event.clicks == 2 && event.button == 1) {
            captured_ = MouseDoubleClick(event.x, event.y, keys);
        } else {
            captured_ = true;
            MouseDown(event.x, event.y, keys);
        }
        break;
    case EditorWindowEvent::kRelease:
        captured_ = false;
        MouseUp(event.x, event.y, keys);
        break;
    case EditorWindowEvent::kMove:
        if (keys.left || keys.right) {
            if (captured_) {
                MouseDrag(event.x, event.y, keys);
            }
        } else if (MouseOver(event.x, event.y, keys)) {
            leaveRequested_ = true;
        }
        break;
    case EditorWindowEvent::kWheel:
        MouseWheel(event.x, event.y, keys, WheelNotches(event.wheelDelta));
        break;
    case EditorWindowEvent::kCaptureLost:
        if (captured_) {
            captured_ = false;
            MouseCaptureLost();
        }
        break;
    case EditorWindowEvent::kLeave:
        if (leaveRequested_) {
            leaveRequested_ = false;
            MouseLeft();
        }
        break;
    case EditorWindowEvent::kKey: {
        const int key = KeyNumberForKey(event.key);
        if (key >= 0) {
            KeyDown(event.x, event.y, key);
        }
        break;
    }
    case EditorWindowEvent::kCloseRequest:
        CloseEditorWindow();
        break;
    default:
        break;
    }
}

void IGraphicsDesktop::HandlePopupInput(const EditorWindowEvent& event) {
    if (!entry_.IsOpen()) {
        return;
    }
    const TextEntryView view = entry_.View();
    switch (event.kind) {
    case EditorWindowEvent::kPopupPress:
        if (event.button == 1 && view.list) {
            const int rowHeight = view.rect.Height() / (int(view.items.size()) + 1);
            const int row = rowHeight > 0 ? event.y / rowHeight : 0;
            if (row >= 1) {
                entry_.Choose(row - 1);
            }
        }
        if (view.list || event.button == 1) {
            focusWanted_ = entry_.State() != Focused;
        }
        break;
    case EditorWindowEvent::kPopupFocusIn:
        entry_.FocusChanged(true);
        break;
    case EditorWindowEvent::kPopupFocusOut:
        entry_.FocusChanged(false);
        break;
    case EditorWindowEvent::kPopupText:
        entry_.ReplaceText(event.text);
        break;
    case EditorWindowEvent::kPopupChoice:
        entry_.Choose(event.choice);
        break;
    case EditorWindowEvent::kPopupKey:
        if (event.key == WindowKey::kReturn) {
            entry_.Return();
        } else if (event.key == WindowKey::kBackspace) {
            entry_.Backspace();
        } else if (view.list && (event.key == WindowKey::kUp || event.key == WindowKey::kDown)) {
            const int step = event.key == WindowKey::kUp ? -1 : 1;
            entry_.Choose(view.selected < 0 ? 0 : view.selected + step);
        } else {
            for (const char* c = event.text; *c; ++c) {
                entry_.Type(*c);
            }
        }
        break;
    default:
        break;
    }
}

void IGraphicsDesktop::OnWindowTick() {
    if (entry_.State() == Focused) {
        // The editor waits while the user types.
        return;
    }
    if (!deferred_.Empty()) {
        const IRectangle area = deferred_;
        deferred_ = IRectangle();
        Repaint(area);
    }
    if (!LockForInput()) {
        return;
    }
    const TickResult tick = RunEditorTick(*this, entry_);
    const TextEntryView view = entry_.View();
    UnlockAfterInput();
    if (tick.repaint) {
        Repaint(tick.area);
    }
    ShowEntry(view, false);
}

void IGraphicsDesktop::Repaint(const IRectangle& area) {
    std::lock_guard<std::mutex> hold(drawMutex_);
    RedrawArea(area);
}

void IGraphicsDesktop::ShowEntry(const TextEntryView& view, bool present) {
    if (!window_) {
        return;
    }
    if (!view.open) {
        if (entryShown_) {
            window_->HidePopup();
            entryShown_ = false;
        }
        return;
    }
    if (!entryShown_ || view.generation != shownGeneration_) {
        entryShown_ = window_->ShowPopup(ContentOf(view));
        if (!entryShown_) {
            return;
        }
        shownGeneration_ = view.generation;
        shownRevision_ = view.revision;
        present = true;
    }
    if (window_->DrawsOwnPopup()) {
        if (view.revision != shownRevision_) {
            window_->UpdatePopup(ContentOf(view));
            shownRevision_ = view.revision;
        }
    } else if (present || view.revision != shownRevision_) {
        if (!entryFont_) {
            entryFont_ = FontRenderer::Create("Arial", 14, false, false, 0);
        }
        if (!entryPixels_) {
            entryPixels_ = std::make_unique<MemoryBitmap>();
        }
        DrawTextEntryPopup(view, entryPixels_.get(), entryFont_.get());
        window_->PresentPopup(PixelsOf(entryPixels_.get()));
        shownRevision_ = view.revision;
    }
    if (focusWanted_) {
        focusWanted_ = false;
        window_->FocusPopup();
    }
}

RasterBitmap* IGraphicsDesktop::DecodeImageResource(int id, const char* name) {
    if (!name || !*name) {
        return nullptr;
    }
    const char* dot = std::strrchr(name, '.');
    // A name without a dot is taken from its second character on, as its whole "extension".
    const char* extension = dot ? dot + 1 : name + 1;
    void* module = ThisModule().handle;
    if (SameWithoutCase(extension, "png")) {
        return RasterLoadPngResource(module, id, nullptr);
    }
    if (SameWithoutCase(extension, "jpg") || SameWithoutCase(extension, "jpeg")) {
        return RasterLoadJpegResource(module, id, nullptr);
    }
    return nullptr;
}
