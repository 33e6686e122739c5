#pragma once

#include "plugin/StateChunk.h"

// One program: a name and a copy of every parameter value.
struct IProgramSlot {
    static constexpr int kNameSize = 256;

    bool initialised = false;
    char name[kNameSize] = "";
    StateChunk values;
};
