#pragma once

#include <cstdint>
#include <vector>

// One legal channel configuration: input count, output count.
struct IChannelConfig {
    int32_t nIn = 0;
    int32_t nOut = 0;

    // Parses a configuration text such as "1-1 2-2": pairs "%d-%d" separated
    // by single blanks. A field that does not parse stays 0; a trailing blank
    // reads one more (empty) pair.
    static std::vector<IChannelConfig> Parse(const char* text);
};
