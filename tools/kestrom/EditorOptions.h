#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "compressor/KestromParams.h"

namespace kestrom::tool {

// Everything `kestrom editor` was asked to show.
struct EditorOptions {
    struct Click {
        int x = 0;
        int y = 0;
    };

    std::string pngPath;
    // The plug-in module to load; empty: the one beside the tool.
    std::string modulePath;
    // Value per parameter index in real units, as for `process`; unset keeps
    // the default.
    std::array<std::optional<double>, kNumParams> params;
    // Gain reduction for the needle, in dB; unset leaves the needle at rest.
    std::optional<double> reductionDb;
    // Left clicks in editor pixels, in order.
    std::vector<Click> clicks;
};

}  // namespace kestrom::tool
