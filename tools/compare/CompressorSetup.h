#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "graphics/LICE_Pixel.h"

namespace kestrom::compare {

// One compressor of the comparison: its LV2 plug-in and the control values
// set away from their defaults (by port symbol) to make it compress
// comparably; every other control input stays at its default.
struct CompressorSetup {
    std::string name;
    std::string uri;
    std::vector<std::pair<std::string, float>> controls;
    std::string settingsText;  // the same settings, as the report states them
    LICE_pixel colour;

    // Kestrom's detection modes first (kKestromModes of them: normal, the
    // reference of the CPU ratios, then Relaxed and Negative), then the
    // compressors Debian ships.
    static std::vector<CompressorSetup> All();
    static constexpr std::size_t kKestromModes = 3;

    // This setup of Kestrom with its In control at `inDb` as well, named so.
    CompressorSetup WithIn(float inDb) const;
};

}  // namespace kestrom::compare
