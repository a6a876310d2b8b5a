#pragma once

#include <cstdint>

namespace kestrom::tool {

// The synthesiser behind the built-in demo music (see DemoSignal): a drum
// kit, a bass line and a sung, vowel-like voice over a four-bar pattern at
// 120 beats per minute, soft for two bars and loud for two. It renders the
// mix block by block, unscaled, so any length streams in constant memory;
// the same sequence of calls gives the same samples every time (the noise
// generator has a fixed seed).
class DemoSynth {
public:
    // Length of the pattern, after which it repeats.
    static constexpr double kPatternSeconds = 8.0;

    explicit DemoSynth(int sampleRate);

    // The next `frames` frames of the mix, each rounded to float once.
    void Render(float* left, float* right, std::int64_t frames);

private:
    // Fixed-seed white noise in [-1, 1): a 32-bit linear congruential
    // generator (Numerical Recipes' constants), upper 24 bits used.
    struct Noise {
        std::uint32_t state = 0x1234567u;
        double Next() {
            state = state * 1664525u + 1013904223u;
            return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
        }
    };

    int sampleRate_;
    std::int64_t frame_ = 0;
    Noise noise_;
    double hatState_ = 0.0;     // one-pole low-pass whose residue is the hi-hat's high-pass
    double bassPhase_ = 0.0;    // cycles
    double voicePhase_ = 0.0;   // cycles of the fundamental
    double bassLowPass_ = 0.0;
};

}  // namespace kestrom::tool
