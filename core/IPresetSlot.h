#pragma once

#include "core/IStateChunk.h"

// One stored preset: whether it holds state, its name and its saved state in
// the parameter-state format.
struct IPresetSlot {
    static constexpr int kNameSize = 256;  // 255 characters and the terminator

    bool initialised = false;
    char name[kNameSize] = "empty";
    IStateChunk state;
};
