#pragma once

#include <array>
#include <optional>
#include <string>

#include "tools/kestrom/PluginSettings.h"

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
    // The plug-in module to load; empty: the one beside the tool.
    std::string modulePath;
    // How the plug-in is set up (state, typed control texts, parameters, bypass).
    PluginSettings settings;
    std::string saveStatePath;  // empty: the state is not saved
    int blockFrames = kDefaultBlockFrames;
    std::string meterPath;      // empty: no meter file
    std::string editorPngPath;  // empty: no picture of the editor
    bool keepFormat = false;    // write the input's file format instead of 32-bit float WAV
    bool quiet = false;         // no summary
    bool sync = true;           // flush outputs and their directories to disk before finishing
};

}  // namespace kestrom::tool
