#pragma once

#include <cstdint>

// One short MIDI message and its frame offset within the current block.
struct MidiMessage {
    std::int32_t offset = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};
static_assert(sizeof(MidiMessage) == 8, "messages are stored as consecutive 8-byte records");
