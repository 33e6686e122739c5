#include "standalone/ControllerInput.h"

#include "standalone/EmbeddedPlugin.h"

void ControllerInput::Handle(const unsigned char* message, std::size_t size,
                             EmbeddedPlugin& plugin) {
    if (size < 3 || (message[0] & 0xF0) != 0xB0 || message[1] > 127 || message[2] > 127) {
        return;
    }
    const int channel = message[0] & 0x0F;
    const int controller = message[1];
    const int value = message[2];
    const MidiMap::Binding& binding = map_.For(controller);
    if (binding.response == MidiMap::Response::kNone ||
        (binding.channel >= 0 && binding.channel != channel)) {
        return;
    }
    const bool high = value >= 64;
    bool& held = held_[std::size_t(channel)][std::size_t(controller)];
    const bool pressed = high && !held;
    held = high;
    switch (binding.response) {
    case MidiMap::Response::kKnob:
        plugin.SetParameter(binding.parameter, float(value) / 127.0f);
        break;
    case MidiMap::Response::kSwitch:
        plugin.SetParameter(binding.parameter, high ? 1.0f : 0.0f);
        break;
    case MidiMap::Response::kToggle:
        if (pressed) {
            const bool on = plugin.Parameter(binding.parameter) >= 0.5f;
            plugin.SetParameter(binding.parameter, on ? 0.0f : 1.0f);
        }
        break;
    case MidiMap::Response::kNone:
        break;
    }
}
