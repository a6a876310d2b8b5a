#pragma once

#include <cstdint>

// Transport state the host reports: tempo, positions, loop and time signature.
struct HostTimeRecord {
    double tempo = 0.0;           // beats per minute
    double samplePosition = 0.0;
    double beatPosition = 0.0;    // quarter notes
    double lastBarStart = 0.0;
    double loopStart = 0.0;
    double loopEnd = 0.0;
    int32_t numerator = 4;
    int32_t denominator = 4;
    bool playing = false;
    bool looping = false;
};
