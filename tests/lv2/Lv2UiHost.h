#pragma once

#include "platform/DesktopSession.h"

#include <lv2/ui/ui.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct DynamicLibrary;

// The bundle's UI binary hosted in process as an LV2 host hosts it: instantiated with the
// features the test offers, its writes and touches recorded with the thread they came from.
class Lv2UiHost {
public:
    struct Offer {
        std::uintptr_t parent = 0; // no ui:parent when 0
        bool resize = true;
        bool touch = true;
        bool idle = false; // the host promises to call idle()
    };
    struct Call {
        enum Kind { kWrite, kTouch } kind;
        std::uint32_t port;
        float value;  // kWrite
        bool grabbed; // kTouch
        std::thread::id thread;
    };

    Lv2UiHost(const std::string& binaryPath, const Offer& offer);
    ~Lv2UiHost();
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    bool Valid() const { return handle_ != nullptr; }
    std::uintptr_t Widget() const { return reinterpret_cast<std::uintptr_t>(widget_); }
    void PortEvent(std::uint32_t port, float value);
    void RawPortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                      const void* buffer);
    int Idle();
    int Show();
    int Hide();
    // Cleans the UI up now.
    void Close();

    std::vector<Call> Calls() const;
    void ClearCalls();
    int ResizedWidth() const { return resizedWidth_; }
    int ResizedHeight() const { return resizedHeight_; }

private:
    static void Write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t protocol, const void* buffer);
    static void Touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed);
    static int Resize(LV2UI_Feature_Handle handle, int width, int height);
    const void* Extension(const char* uri) const;

    DynamicLibrary* library_ = nullptr;
    const LV2UI_Descriptor* descriptor_ = nullptr;
    LV2UI_Handle handle_ = nullptr;
    LV2UI_Widget widget_ = nullptr;
    LV2UI_Touch touch_{};
    LV2UI_Resize resize_{};
    int resizedWidth_ = 0;
    int resizedHeight_ = 0;
    mutable std::mutex callsMutex_;
    std::vector<Call> calls_;
};
