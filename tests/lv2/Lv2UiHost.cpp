#include "Lv2UiHost.h"

#include "platform/DynamicLibrary.h"

#include <gtest/gtest.h>

#include <cstring>

Lv2UiHost::Lv2UiHost(const std::string& binaryPath, const Offer& offer)
    : touch_{this, Touch}, resize_{this, Resize} {
    std::string error;
    library_ = OpenDynamicLibrary(binaryPath, &error);
    EXPECT_NE(library_, nullptr) << error;
    const auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(
        library_ ? FindLibrarySymbol(library_, "lv2ui_descriptor") : nullptr);
    EXPECT_NE(entry, nullptr);
    descriptor_ = entry ? entry(0) : nullptr;
    if (!descriptor_) {
        return;
    }
    const LV2_Feature parent = {LV2_UI__parent, reinterpret_cast<void*>(offer.parent)};
    const LV2_Feature resize = {LV2_UI__resize, &resize_};
    const LV2_Feature touch = {LV2_UI__touch, &touch_};
    const LV2_Feature idle = {LV2_UI__idleInterface, nullptr};
    std::vector<const LV2_Feature*> features;
    if (offer.parent) {
        features.push_back(&parent);
    }
    if (offer.resize) {
        features.push_back(&resize);
    }
    if (offer.touch) {
        features.push_back(&touch);
    }
    if (offer.idle) {
        features.push_back(&idle);
    }
    features.push_back(nullptr);
    handle_ = descriptor_->instantiate(descriptor_, "urn:wexmoradine:kelvorantumix", "", Write,
                                       this, &widget_, features.data());
}

Lv2UiHost::~Lv2UiHost() {
    Close();
    if (library_) {
        CloseDynamicLibrary(library_);
    }
}

void Lv2UiHost::Close() {
    if (handle_) {
        descriptor_->cleanup(handle_);
        handle_ = nullptr;
    }
}

void Lv2UiHost::PortEvent(std::uint32_t port, float value) {
    RawPortEvent(port, sizeof value, 0, &value);
}

void Lv2UiHost::RawPortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                             const void* buffer) {
    descriptor_->port_event(handle_, port, size, format, buffer);
}

const void* Lv2UiHost::Extension(const char* uri) const {
    return descriptor_ && descriptor_->extension_data ? descriptor_->extension_data(uri) : nullptr;
}

int Lv2UiHost::Idle() {
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(Extension(LV2_UI__idleInterface));
    EXPECT_NE(idle, nullptr);
    return idle ? idle->idle(handle_) : -1;
}

int Lv2UiHost::Show() {
    const auto* show = static_cast<const LV2UI_Show_Interface*>(Extension(LV2_UI__showInterface));
    EXPECT_NE(show, nullptr);
    return show ? show->show(handle_) : -1;
}

int Lv2UiHost::Hide() {
    const auto* show = static_cast<const LV2UI_Show_Interface*>(Extension(LV2_UI__showInterface));
    EXPECT_NE(show, nullptr);
    return show ? show->hide(handle_) : -1;
}

std::vector<Lv2UiHost::Call> Lv2UiHost::Calls() const {
    std::lock_guard<std::mutex> hold(callsMutex_);
    return calls_;
}

void Lv2UiHost::ClearCalls() {
    std::lock_guard<std::mutex> hold(callsMutex_);
    calls_.clear();
}

void Lv2UiHost::Write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t protocol, const void* buffer) {
    auto* host = static_cast<Lv2UiHost*>(controller);
    EXPECT_EQ(size, sizeof(float));
    EXPECT_EQ(protocol, 0u);
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    std::lock_guard<std::mutex> hold(host->callsMutex_);
    host->calls_.push_back({Call::kWrite, port, value, false, std::this_thread::get_id()});
}

void Lv2UiHost::Touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
    auto* host = static_cast<Lv2UiHost*>(handle);
    std::lock_guard<std::mutex> hold(host->callsMutex_);
    host->calls_.push_back({Call::kTouch, port, 0.0f, grabbed, std::this_thread::get_id()});
}

int Lv2UiHost::Resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* host = static_cast<Lv2UiHost*>(handle);
    host->resizedWidth_ = width;
    host->resizedHeight_ = height;
    return 0;
}
