#include "plugin/IPlugLV2UI.h"

#include "platform/DesktopSession.h"
#include "plugin/LV2Features.h"

#include <cstring>

namespace {

IPlugLV2UI* UiOf(LV2UI_Handle ui) {
    return static_cast<IPlugLV2UI*>(ui);
}

int IdleUi(LV2UI_Handle ui) {
    return ui ? UiOf(ui)->Idle() : 1;
}

int ShowUi(LV2UI_Handle ui) {
    return ui ? UiOf(ui)->Show() : 1;
}

int HideUi(LV2UI_Handle ui) {
    return ui ? UiOf(ui)->Hide() : 1;
}

const LV2UI_Idle_Interface kIdleInterface = {IdleUi};
const LV2UI_Show_Interface kShowInterface = {ShowUi, HideUi};

} // namespace

IPlugLV2UI::IPlugLV2UI(int numParams, LV2UI_Write_Function write, LV2UI_Controller controller,
                       const LV2_Feature* const* features)
    : write_(write), controller_(controller) {
    for (int i = 0; i < numParams; ++i) {
        params_.Append(new IParameter());
    }
    parent_ = LV2FeatureData(features, LV2_UI__parent);
    resize_ = static_cast<const LV2UI_Resize*>(LV2FeatureData(features, LV2_UI__resize));
    touch_ = static_cast<const LV2UI_Touch*>(LV2FeatureData(features, LV2_UI__touch));
    hostCallsIdle_ = FindLV2Feature(features, LV2_UI__idleInterface) != nullptr;
    // Room for the edits of many idle periods, reserved once.
    pending_.reserve(1024);
    delivering_.reserve(1024);
}

IPlugLV2UI::~IPlugLV2UI() {
    // The editor's thread calls into this object: it stops before anything goes.
    CloseWindows();
    editor_.reset();
    params_.RemoveAll();
}

void IPlugLV2UI::AttachEditor(IEditor* editor) {
    ScopedLock hold(lock_);
    for (int i = 0; i < NumParams(); ++i) {
        editor->UpdateParamControls(i, GetParam(i)->CurrentNormalized(), true);
    }
    editor->PrepareSurface();
    editor_.reset(editor);
    for (int i = 0; i < NumParams(); ++i) {
        OnParamChange(i);
    }
}

bool IPlugLV2UI::Open() {
    if (!parent_) {
        return true;
    }
    if (!editor_ || !(window_ = editor_->OpenEditorWindow(parent_))) {
        return false;
    }
    if (resize_ && resize_->ui_resize) {
        resize_->ui_resize(resize_->handle, editor_->Width(), editor_->Height());
    }
    return true;
}

LV2UI_Widget IPlugLV2UI::Widget() {
    return parent_ ? window_ : nullptr;
}

void IPlugLV2UI::BeginParamEdit(int paramIdx) {
    if (GetParam(paramIdx)) {
        Send({Edit::kBegin, std::uint32_t(paramIdx), 0.0f});
    }
}

void IPlugLV2UI::PerformParamEdit(int paramIdx, double normalized) {
    IParameter* param = GetParam(paramIdx);
    if (!param) {
        return;
    }
    {
        ScopedLock hold(lock_);
        param->SetFromNormalized(normalized);
        OnParamChange(paramIdx);
    }
    Send({Edit::kPerform, std::uint32_t(paramIdx), float(param->Value())});
}

void IPlugLV2UI::EndParamEdit(int paramIdx) {
    if (GetParam(paramIdx)) {
        Send({Edit::kEnd, std::uint32_t(paramIdx), 0.0f});
    }
}

void IPlugLV2UI::EditorResized() {
    if (editor_ && resize_ && resize_->ui_resize) {
        resize_->ui_resize(resize_->handle, editor_->Width(), editor_->Height());
    }
}

void IPlugLV2UI::Send(const Edit& edit) {
    if (!hostCallsIdle_) {
        Deliver(edit);
        return;
    }
    std::lock_guard<std::mutex> hold(pendingMutex_);
    // A perform that follows one for the same port replaces it: the host hears the latest value.
    if (edit.kind == Edit::kPerform && !pending_.empty() &&
        pending_.back().kind == Edit::kPerform && pending_.back().port == edit.port) {
        pending_.back().value = edit.value;
    } else {
        pending_.push_back(edit);
    }
}

void IPlugLV2UI::Deliver(const Edit& edit) {
    switch (edit.kind) {
    case Edit::kBegin:
    case Edit::kEnd:
        if (touch_ && touch_->touch) {
            touch_->touch(touch_->handle, edit.port, edit.kind == Edit::kBegin);
        }
        break;
    case Edit::kPerform:
        if (write_) {
            write_(controller_, edit.port, sizeof edit.value, 0, &edit.value);
        }
        break;
    }
}

void IPlugLV2UI::PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                           const void* buffer) {
    IParameter* param = port < std::uint32_t(NumParams()) ? GetParam(int(port)) : nullptr;
    if (!param || format != 0 || size != sizeof(float) || !buffer) {
        return;
    }
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (value != value) {
        return;
    }
    const double normalized = param->NormalizedOf(value);
    ScopedLock hold(lock_);
    if (editor_) {
        editor_->UpdateParamControls(int(port), normalized, true);
    }
    param->SetFromNormalized(normalized);
    OnParamChange(int(port));
}

int IPlugLV2UI::Idle() {
    {
        std::lock_guard<std::mutex> hold(pendingMutex_);
        delivering_.swap(pending_);
    }
    // The host is called with no lock held: it may answer with port events at once.
    for (const Edit& edit : delivering_) {
        Deliver(edit);
    }
    delivering_.clear();
    if (desktop_ && ownWindow_ && desktop_->WaitForClose(ownWindow_, 0)) {
        Hide();
        return 1;
    }
    return 0;
}

int IPlugLV2UI::Show() {
    if (!editor_) {
        return 1;
    }
    if (window_) {
        return 0;
    }
    if (parent_) {
        return (window_ = editor_->OpenEditorWindow(parent_)) ? 0 : 1;
    }
    if (!desktop_) {
        desktop_ = DesktopSession::Connect();
    }
    if (!desktop_) {
        return 1;
    }
    ownWindow_ = desktop_->CreateTopLevel("Kelvorantumix", editor_->Width(), editor_->Height());
    if (!ownWindow_ ||
        !(window_ = editor_->OpenEditorWindow(reinterpret_cast<void*>(ownWindow_)))) {
        Hide();
        return 1;
    }
    return 0;
}

int IPlugLV2UI::Hide() {
    CloseWindows();
    return 0;
}

void IPlugLV2UI::CloseWindows() {
    if (editor_) {
        editor_->CloseEditorWindow();
    }
    window_ = nullptr;
    if (desktop_ && ownWindow_) {
        desktop_->DestroyWindow(ownWindow_);
    }
    ownWindow_ = 0;
}

void IPlugLV2UI::Cleanup(LV2UI_Handle ui) {
    if (!ui) {
        return;
    }
    // The editor's thread calls the effect's side of the UI too: it stops before any part of the
    // object is destroyed.
    UiOf(ui)->CloseWindows();
    delete UiOf(ui);
}

void IPlugLV2UI::PortEvent(LV2UI_Handle ui, std::uint32_t port, std::uint32_t size,
                           std::uint32_t format, const void* buffer) {
    if (ui) {
        UiOf(ui)->PortEvent(port, size, format, buffer);
    }
}

const void* IPlugLV2UI::ExtensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) {
        return &kIdleInterface;
    }
    if (uri && std::strcmp(uri, LV2_UI__showInterface) == 0) {
        return &kShowInterface;
    }
    return nullptr;
}
