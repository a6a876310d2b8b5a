#pragma once

#include "compressor/KestromParams.h"

#include <cstdint>
#include <optional>
#include <string>

#include "tools/kestrom/SampleScan.h"

namespace kestrom::tool {

// What the summary reports about one run: sample peaks of input and output
// and the non-finite input samples (gathered while the samples are moved in
// and out of the file buffers, by the two scans), and the gain reduction the
// meter showed, block by block.
class ProcessStats {
public:
    // Full scale of the meter: a handed-over value of 1 means 22 dB of reduction.
    static constexpr double kMeterFullScaleDb = kestrom::kMeterFullScaleDb;

    // The scans the pipeline moves samples through.
    SampleScan& Input() { return input_; }
    SampleScan& Output() { return output_; }
    const SampleScan& Input() const { return input_; }
    const SampleScan& Output() const { return output_; }

    // The meter value handed over at the end of a block of `frames` frames,
    // or none when the plug-in handed nothing over (Power off).
    void AddMeter(std::optional<double> value, std::int64_t frames);

    double InputPeak() const { return input_.Peak(); }
    double OutputPeak() const { return output_.Peak(); }
    std::int64_t Frames() const { return input_.Frames(); }
    // Largest and frame-weighted average reduction in dB over the blocks that
    // had a meter value; none when no block had one.
    std::optional<double> MaxReductionDb() const;
    std::optional<double> AverageReductionDb() const;

    // A few lines of text, each ending in a newline.
    std::string Report(int sampleRate) const;

private:
    SampleScan input_;
    SampleScan output_;
    double maxMeter_ = 0.0;
    double meterSum_ = 0.0;  // sum of value x frames
    std::int64_t meteredFrames_ = 0;
    std::int64_t meteredBlocks_ = 0;
};

}  // namespace kestrom::tool
