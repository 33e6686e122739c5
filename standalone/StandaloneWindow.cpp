#include "standalone/StandaloneWindow.h"

#include "standalone/EmbeddedPlugin.h"

std::unique_ptr<StandaloneWindow> StandaloneWindow::Open(EmbeddedPlugin& plugin,
                                                         std::string* error) {
    ERect* rect = nullptr;
    if (!(plugin.Effect()->flags & effFlagsHasEditor) ||
        !plugin.Dispatch(effEditGetRect, 0, 0, &rect) || !rect) {
        *error = "the plug-in has no editor";
        return nullptr;
    }
    std::unique_ptr<DesktopSession> desktop = DesktopSession::Connect();
    if (!desktop) {
        *error = "no X display to open the window on (DISPLAY)";
        return nullptr;
    }
    const DesktopSession::Window window = desktop->CreateTopLevel(
        "Kelvorantumix", rect->right - rect->left, rect->bottom - rect->top);
    std::unique_ptr<StandaloneWindow> opened(
        new StandaloneWindow(plugin, std::move(desktop), window));
    if (!plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window))) {
        *error = "the plug-in did not open its editor";
        return nullptr;
    }
    opened->editorOpen_ = true;
    return opened;
}

StandaloneWindow::~StandaloneWindow() {
    if (editorOpen_) {
        plugin_.Dispatch(effEditClose);
    }
    desktop_->DestroyWindow(window_);
}

bool StandaloneWindow::WaitForClose(int timeoutMs) {
    const bool closed = desktop_->WaitForClose(window_, timeoutMs);
    // The editor runs on its own thread; a host still calls idle now and then.
    plugin_.Dispatch(effEditIdle);
    return closed;
}
