#pragma once

#include <vector>

namespace kestrom::tool {

// A short built-in piece of music for trying the compressor: a drum kit
// (kick, snare, hi-hat), a bass line and a sung, vowel-like voice, in stereo.
// The first half is played softly and the second half loudly, so a
// compressor's work is easy to hear and see. Everything is synthesised from
// fixed formulas and a fixed-seed noise generator, so the same call gives the
// same samples every time.
class DemoSignal {
public:
    static constexpr int kDefaultSampleRate = 48000;
    static constexpr double kDefaultSeconds = 8.0;  // four bars at 120 beats per minute
    static constexpr double kPeak = 0.5;            // peak of the finished mix, -6 dBFS

    // Builds the mix at `sampleRate` for `seconds` (the pattern repeats every
    // four bars); the result's peak is kPeak.
    static DemoSignal Generate(int sampleRate = kDefaultSampleRate, double seconds = kDefaultSeconds);

    int sampleRate = kDefaultSampleRate;
    std::vector<float> left;
    std::vector<float> right;
};

}  // namespace kestrom::tool
