#pragma once

#include "standalone/MidiMap.h"

#include <array>
#include <cstddef>

class EmbeddedPlugin;

// Turns incoming MIDI controller messages into parameter changes on the audio thread, through
// the plug-in's set-parameter call as a host's automation does. Program changes and everything
// else are ignored. Allocates nothing.
class ControllerInput {
public:
    explicit ControllerInput(const MidiMap& map) : map_(map) {}

    // One MIDI message of size bytes.
    void Handle(const unsigned char* message, std::size_t size, EmbeddedPlugin& plugin);

private:
    MidiMap map_;
    // Whether each controller was last at 64 or above, per channel: a toggle flips on a press.
    std::array<std::array<bool, MidiMap::kControllers>, 16> held_{};
};
