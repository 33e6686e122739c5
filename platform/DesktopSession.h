#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The desktop as a program that hosts editors sees it: top-level windows to hold them, and for
// tests, synthetic input (the XTest extension) and reading pixels back from the screen.
class DesktopSession {
public:
    using Window = std::uintptr_t;

    // Null when there is no display to connect to.
    static std::unique_ptr<DesktopSession> Connect();
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // A mapped top-level window whose close button is reported by WaitForClose.
    Window CreateTopLevel(const char* title, int width, int height);
    void DestroyWindow(Window window);
    void MoveWindow(Window window, int x, int y);
    // Handles this connection's events for up to timeoutMs; true once the user asked to close
    // the window.
    bool WaitForClose(Window window, int timeoutMs);
    // Asks a window to close as its close button would.
    void RequestClose(Window window);

    bool WindowExists(Window window);
    // Position in the parent and size; false when the window does not exist.
    bool Geometry(Window window, int* x, int* y, int* width, int* height);
    std::vector<Window> Children(Window window);
    // The top-level windows whose title is title.
    std::vector<Window> TopLevelsTitled(const std::string& title);
    // The window that has the keyboard focus, or 0.
    Window FocusedWindow();
    // Pixels 0xRRGGBB of the area of the window, row by row; empty when they cannot be read.
    std::vector<std::uint32_t> ReadPixels(Window window, int x, int y, int width, int height);

    // Synthetic input through the server, as if from the user.
    bool CanInject() const;
    void MovePointer(Window window, int x, int y);
    void Button(int button, bool press);
    // A key by its name ("Return", "BackSpace", "a", "period"), pressed and released.
    void TapKey(const char* keyName);
    void TypeText(const char* text);
    void Flush();

private:
    struct Impl;
    explicit DesktopSession(Impl* impl);
    Impl* impl_;
};
