#pragma once

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

    // Kestrom first (the reference of the CPU ratios), then the compressors
    // Debian ships.
    static std::vector<CompressorSetup> All();
};

}  // namespace kestrom::compare
