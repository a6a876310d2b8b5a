#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "compressor/KestromParams.h"

namespace kestrom::host {
class HostedPlugin;
}

namespace kestrom::tool {

// What the user asked the plug-in to be set to, applied the way a host sets
// a plug-in up, through its host controls: first a saved state (the host
// chunk, header included), then typed control texts (NAME=TEXT, through the
// control's own parsing), then the parameter options (numbers through the
// control's conversion), then the host's bypass.
struct PluginSettings {
    struct ControlText {
        std::string name;
        std::string text;
    };

    // Value per parameter index in real units (dB, or 0/1 for a switch).
    std::array<std::optional<double>, kNumParams> params;
    std::vector<ControlText> controls;
    std::string statePath;  // empty: none
    bool bypass = false;

    // Splits "NAME=TEXT" at its first '='; false when there is none or the
    // name is empty.
    static bool ParseControlText(const std::string& option, ControlText& control);

    // False with a one-line message on the first setting the plug-in refuses
    // (`usageError` set when the fault is the command line's: an unknown
    // control or a rejected text).
    bool Apply(kestrom::host::HostedPlugin& plugin, std::string& error, bool& usageError) const;
};

}  // namespace kestrom::tool
