#pragma once

#include "compressor/KestromParams.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrom::tool {

// What the summary reports about one run: sample peaks of input and output,
// and the gain reduction the meter showed, block by block.
class ProcessStats {
public:
    // Full scale of the meter: a handed-over value of 1 means 22 dB of reduction.
    static constexpr double kMeterFullScaleDb = kestrom::kMeterFullScaleDb;

    void AddInput(const float* const* channels, int channelCount, std::int64_t frames);
    void AddOutput(const float* const* channels, int channelCount, std::int64_t frames);
    // The meter value handed over at the end of a block of `frames` frames,
    // or none when the plug-in handed nothing over (Power off).
    void AddMeter(std::optional<double> value, std::int64_t frames);

    double InputPeak() const { return inputPeak_; }
    double OutputPeak() const { return outputPeak_; }
    std::int64_t Frames() const { return frames_; }
    // Largest and frame-weighted average reduction in dB over the blocks that
    // had a meter value; none when no block had one.
    std::optional<double> MaxReductionDb() const;
    std::optional<double> AverageReductionDb() const;

    // A few lines of text, each ending in a newline.
    std::string Report(int sampleRate) const;

private:
    double inputPeak_ = 0.0;
    double outputPeak_ = 0.0;
    std::int64_t frames_ = 0;
    double maxMeter_ = 0.0;
    double meterSum_ = 0.0;  // sum of value x frames
    std::int64_t meteredFrames_ = 0;
    std::int64_t meteredBlocks_ = 0;
};

}  // namespace kestrom::tool
