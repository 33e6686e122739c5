// The LV2 UI binary's exported entry: the editor as an X11 UI, for both plug-ins of the bundle.
// The build names the UI's URI (KVX_LV2_URI ":ui"), as the bundle's Turtle files do.

#include "plugin/IPlugLV2UI.h"

#include <memory>
#include <mutex>
#include <new>

namespace {

// Serializes instantiation across the process, as the plug-in's entries do.
std::mutex gCreationLock;

LV2UI_Handle Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* /*pluginUri*/,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
    std::lock_guard<std::mutex> hold(gCreationLock);
    try {
        std::unique_ptr<IPlugLV2UI> ui(MakePlugUI(write, controller, features));
        if (!ui || !ui->Open()) {
            return nullptr;
        }
        if (widget) {
            *widget = ui->Widget();
        }
        return ui.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const LV2UI_Descriptor kDescriptor = {KVX_LV2_URI ":ui", Instantiate, IPlugLV2UI::Cleanup,
                                      IPlugLV2UI::PortEvent, IPlugLV2UI::ExtensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
