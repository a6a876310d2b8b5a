#pragma once

#include <cstdint>
#include <vector>

namespace kestrom::tool {

// A short built-in piece of music for trying the compressor (DemoSynth's
// drums, bass and voice, soft then loud), scaled so that its first pattern
// of four bars peaks at kPeak. Generate holds it whole; Scale gives the
// factor for streaming it block by block (what `kestrom generate-demo`
// does), sample for sample the same.
class DemoSignal {
public:
    static constexpr int kDefaultSampleRate = 48000;
    static constexpr double kDefaultSeconds = 8.0;  // four bars at 120 beats per minute
    static constexpr double kPeak = 0.5;            // peak of the first four bars, -6 dBFS

    // The whole mix of `seconds` at `sampleRate`, scaled.
    static DemoSignal Generate(int sampleRate = kDefaultSampleRate, double seconds = kDefaultSeconds);

    // The number of frames in `seconds` (whole frames, none for a negative length).
    static std::int64_t FrameCount(int sampleRate, double seconds);
    // The factor that brings the peak of the first four bars (or of the whole
    // of a shorter piece of `frames` frames) to kPeak; later repeats of the
    // pattern differ from the first only by their noise and phases, by a
    // fraction of a dB. Renders those bars once, in blocks.
    static double Scale(int sampleRate, std::int64_t frames);
    // One sample of the unscaled mix times the scale, rounded to float once.
    static float Scaled(float sample, double scale) { return static_cast<float>(sample * scale); }

    int sampleRate = kDefaultSampleRate;
    std::vector<float> left;
    std::vector<float> right;
};

}  // namespace kestrom::tool
