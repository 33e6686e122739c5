#pragma once

#include "platform/DesktopSession.h"

#include <memory>
#include <string>

class EmbeddedPlugin;

// The plug-in's editor in a top-level window of the program's own, titled "Kelvorantumix",
// opened as a Linux host opens it: the window is the editor's parent.
class StandaloneWindow {
public:
    // Null with the reason when there is no X display or the editor does not open.
    static std::unique_ptr<StandaloneWindow> Open(EmbeddedPlugin& plugin, std::string* error);
    // Closes the editor, then the window.
    ~StandaloneWindow();
    StandaloneWindow(const StandaloneWindow&) = delete;
    StandaloneWindow& operator=(const StandaloneWindow&) = delete;

    // Handles the window's events for up to timeoutMs; true once the user closed it.
    bool WaitForClose(int timeoutMs);

private:
    StandaloneWindow(EmbeddedPlugin& plugin, std::unique_ptr<DesktopSession> desktop,
                     DesktopSession::Window window)
        : plugin_(plugin), desktop_(std::move(desktop)), window_(window) {}

    EmbeddedPlugin& plugin_;
    std::unique_ptr<DesktopSession> desktop_;
    DesktopSession::Window window_;
    bool editorOpen_ = false;
};
