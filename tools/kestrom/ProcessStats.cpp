#include "tools/kestrom/ProcessStats.h"

#include <cmath>
#include <cstdio>

#include "core/Decibels.h"

namespace kestrom::tool {

namespace {

// Largest magnitude; NaN samples count as infinitely loud so they are not hidden.
double Peak(const float* const* channels, int channelCount, std::int64_t frames, double peak) {
    for (int c = 0; c < channelCount; ++c) {
        for (std::int64_t i = 0; i < frames; ++i) {
            const double v = std::fabs(static_cast<double>(channels[c][i]));
            if (std::isnan(v)) {
                peak = INFINITY;
            } else if (v > peak) {
                peak = v;
            }
        }
    }
    return peak;
}

std::string FormatDbfs(double peak) {
    if (peak <= 0.0) {
        return "silent";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f dBFS", GainToDb(peak));
    return text;
}

std::string FormatDb(std::optional<double> value) {
    if (!value) {
        return "none (Power off)";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f dB", *value);
    return text;
}

}  // namespace

void ProcessStats::AddInput(const float* const* channels, int channelCount, std::int64_t frames) {
    inputPeak_ = Peak(channels, channelCount, frames, inputPeak_);
    frames_ += frames;
}

void ProcessStats::AddOutput(const float* const* channels, int channelCount, std::int64_t frames) {
    outputPeak_ = Peak(channels, channelCount, frames, outputPeak_);
}

void ProcessStats::AddMeter(std::optional<double> value, std::int64_t frames) {
    if (!value) {
        return;
    }
    if (meteredBlocks_ == 0 || *value > maxMeter_) {
        maxMeter_ = *value;
    }
    meterSum_ += *value * static_cast<double>(frames);
    meteredFrames_ += frames;
    ++meteredBlocks_;
}

std::optional<double> ProcessStats::MaxReductionDb() const {
    if (meteredBlocks_ == 0) {
        return std::nullopt;
    }
    return maxMeter_ * kMeterFullScaleDb;
}

std::optional<double> ProcessStats::AverageReductionDb() const {
    if (meteredBlocks_ == 0) {
        return std::nullopt;
    }
    if (meteredFrames_ == 0) {  // only empty blocks: no time to average over
        return maxMeter_ * kMeterFullScaleDb;
    }
    return meterSum_ / static_cast<double>(meteredFrames_) * kMeterFullScaleDb;
}

std::string ProcessStats::Report(int sampleRate) const {
    char length[64];
    std::snprintf(length, sizeof length, "%.2f s", sampleRate > 0 ? static_cast<double>(frames_) / sampleRate : 0.0);
    std::string text;
    text += "length:                  " + std::string(length) + " (" + std::to_string(frames_) + " frames at " +
            std::to_string(sampleRate) + " Hz)\n";
    text += "input peak:              " + FormatDbfs(inputPeak_) + "\n";
    text += "output peak:             " + FormatDbfs(outputPeak_) + "\n";
    text += "largest gain reduction:  " + FormatDb(MaxReductionDb()) + "\n";
    text += "average gain reduction:  " + FormatDb(AverageReductionDb()) + "\n";
    return text;
}

}  // namespace kestrom::tool
