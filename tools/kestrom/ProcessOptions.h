#pragma once

#include <array>
#include <optional>
#include <string>

#include "compressor/KestromParams.h"

namespace kestrom::tool {

// Everything `kestrom process` was asked to do. A parameter left unset keeps
// the plug-in's default.
struct ProcessOptions {
    // Default host block size, in frames.
    static constexpr int kDefaultBlockFrames = 512;
    // Largest accepted block: a host never asks for more, and the buffers stay small.
    static constexpr int kMaxBlockFrames = 1 << 20;

    std::string input;
    std::string output;
    // Value per parameter index in real units (dB, or 0/1 for a switch);
    // stored clamped to the parameter's range, not quantised.
    std::array<std::optional<double>, kNumParams> params;
    int blockFrames = kDefaultBlockFrames;
    std::string meterPath;      // empty: no meter file
    std::string editorPngPath;  // empty: no picture of the editor
    bool keepFormat = false;    // write the input's file format instead of 32-bit float WAV
    bool quiet = false;         // no summary
    bool sync = true;           // flush outputs and their directories to disk before finishing
};

}  // namespace kestrom::tool
