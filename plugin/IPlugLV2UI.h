#pragma once

#include "common/PointerList.h"
#include "platform/RecursiveLock.h"
#include "plugin/IEditor.h"
#include "plugin/IEditorDelegate.h"
#include "plugin/IParameter.h"

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class DesktopSession;

// The editor as an LV2 UI: the editor's delegate over the host's UI protocol, so that the editor
// works the same whether the plug-in runs in this process or another. It never touches the
// plug-in. It keeps its own copy of the parameter table (port i is parameter i, in its plain
// range): the host's port events set it and show it on the editor; the user's edits set it and
// reach the plug-in through the host's write function, each gesture begun and ended through
// ui:touch where the host offers it.
//
// The editor's window runs on its own thread, as the VST editor does. A host that offers
// ui:idleInterface hears the edits from its own UI thread, in idle(); any other host hears them
// as they happen, from the editor's thread, and the UI works though the host calls nothing.
// The window sits in the host's ui:parent; a host without one shows it in a window of its own
// through the show interface.
class IPlugLV2UI : public IEditorDelegate {
public:
    IPlugLV2UI(int numParams, LV2UI_Write_Function write, LV2UI_Controller controller,
               const LV2_Feature* const* features);
    virtual ~IPlugLV2UI();
    IPlugLV2UI(const IPlugLV2UI&) = delete;
    IPlugLV2UI& operator=(const IPlugLV2UI&) = delete;

    int NumParams() const override { return params_.Count(); }
    IParameter* GetParam(int index) const override { return params_.Get(index); }
    void BeginParamEdit(int paramIdx) override;
    void PerformParamEdit(int paramIdx, double normalized) override;
    void EndParamEdit(int paramIdx) override;
    void EditorResized() override;
    RecursiveLock& Lock() override { return lock_; }

    // Opens the editor in the host's parent window and tells the host its size; without a
    // parent there is nothing to open until show(). False when the window cannot be made.
    bool Open();
    // The editor's window in the parent (an X11 window id), or null.
    LV2UI_Widget Widget();
    // A port's value from the host; anything but a float for a parameter's port is ignored.
    void PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                   const void* buffer);
    // Hands the host the edits made since the last call; non-zero once the user closed the
    // window of its own that show() opened.
    int Idle();
    int Show();
    int Hide();

    // The LV2 C interface over a UI, for the UI's descriptor.
    static void Cleanup(LV2UI_Handle ui);
    static void PortEvent(LV2UI_Handle ui, std::uint32_t port, std::uint32_t size,
                          std::uint32_t format, const void* buffer);
    static const void* ExtensionData(const char* uri);

protected:
    // Takes the editor over and shows every parameter on it.
    void AttachEditor(IEditor* editor);
    IEditor* Editor() const { return editor_.get(); }
    // Called with a parameter's new value, from the host or the user: the effect's indicators.
    virtual void OnParamChange(int /*paramIdx*/) {}

private:
    struct Edit {
        enum Kind { kBegin, kPerform, kEnd } kind;
        std::uint32_t port;
        float value;
    };

    void Send(const Edit& edit);
    void Deliver(const Edit& edit);
    void CloseWindows();

    PointerList<IParameter> params_{true};
    std::unique_ptr<IEditor> editor_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    void* parent_ = nullptr;
    // The editor's open window, or null.
    void* window_ = nullptr;
    const LV2UI_Resize* resize_ = nullptr;
    const LV2UI_Touch* touch_ = nullptr;
    bool hostCallsIdle_ = false;
    RecursiveLock lock_;
    std::mutex pendingMutex_;
    std::vector<Edit> pending_;
    std::vector<Edit> delivering_;
    // The window of its own that show() opens for a host without a parent.
    std::unique_ptr<DesktopSession> desktop_;
    std::uintptr_t ownWindow_ = 0;
};

// Creates the editor's UI; defined by the effect.
IPlugLV2UI* MakePlugUI(LV2UI_Write_Function write, LV2UI_Controller controller,
                       const LV2_Feature* const* features);
