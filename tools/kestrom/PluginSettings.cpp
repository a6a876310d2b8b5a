#include "tools/kestrom/PluginSettings.h"

#include <cstddef>
#include <fstream>
#include <string>

#include "tools/host/HostedPlugin.h"

namespace kestrom::tool {

namespace {

// Host control of parameter i.
constexpr int kFirstParamControl = 2;
// A state file larger than this is not a state of this plug-in.
constexpr std::size_t kMaxStateBytes = 1 << 20;

// Reads at most kMaxStateBytes + 1 bytes, whatever the path names: a regular
// file, a FIFO, a process substitution or an endless device such as
// /dev/zero. The size is never asked for by seeking (a device answers 0, a
// pipe cannot seek), so one byte past the limit is what tells a file too
// large for a state.
bool ReadState(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the state file '" + path + "'";
        return false;
    }
    bytes.assign(kMaxStateBytes + 1, 0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        error = "cannot read the state file '" + path + "'";
        return false;
    }
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > kMaxStateBytes) {
        error = "'" + path + "' is not a saved state of this plug-in (larger than " +
                std::to_string(kMaxStateBytes) + " bytes)";
        bytes.clear();
        return false;
    }
    bytes.resize(got);
    return true;
}

}  // namespace

bool PluginSettings::ParseControlText(const std::string& option, ControlText& control) {
    const auto equals = option.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    control.name = option.substr(0, equals);
    control.text = option.substr(equals + 1);
    return true;
}

bool PluginSettings::Apply(kestrom::host::HostedPlugin& plugin, std::string& error, bool& usageError) const {
    usageError = false;
    if (!statePath.empty()) {
        std::vector<unsigned char> state;
        if (!ReadState(statePath, state, error)) return false;
        if (!plugin.RestoreChunk(state, error)) {
            error = "'" + statePath + "': " + error;
            return false;
        }
    }
    for (const ControlText& c : controls) {
        const int control = plugin.FindControl(c.name);
        if (control == 0) {
            error = "the plug-in has no control named '" + c.name + "' (see kestrom info)";
            usageError = true;
            return false;
        }
        if (!plugin.SetControlText(control, c.text, error)) {
            usageError = true;
            return false;
        }
    }
    for (int i = 0; i < kNumParams; ++i) {
        if (params[static_cast<std::size_t>(i)] &&
            !plugin.SetControlNumber(i + kFirstParamControl, *params[static_cast<std::size_t>(i)], error)) {
            return false;
        }
    }
    return !bypass || plugin.SetBypass(true, error);
}

}  // namespace kestrom::tool
