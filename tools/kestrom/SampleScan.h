#pragma once

#include <cstdint>

namespace kestrom::tool {

// Moves samples between a file's interleaved frames and one buffer per
// channel, and looks at every sample on the way, so the summary's figures
// cost no pass of their own: the largest finite magnitude, and how many
// samples were not finite numbers (NaN or infinite) and where the first was.
//
// The loops work on the samples' bit patterns: a float is non-finite exactly
// when its exponent bits are all ones, and for finite magnitudes the order of
// the bit patterns is the order of the values, so the peak is an integer
// maximum. Both vectorise without changing a single sample.
class SampleScan {
public:
    // in: `frames` frames of `channels` interleaved samples; out[c]: one
    // buffer of `frames` samples per channel.
    void Deinterleave(const float* in, int channels, std::int64_t frames, float* const* out);
    // The reverse: in[c] per channel into interleaved `out`.
    void Interleave(const float* const* in, int channels, std::int64_t frames, float* out);

    // Largest magnitude of a finite sample (0 when there was none).
    float Peak() const;
    std::int64_t Frames() const { return frames_; }
    std::int64_t NonFiniteSamples() const { return nonFinite_; }
    // Where the first non-finite sample was (frame counted from the first
    // frame scanned, channel from 0); -1 when there was none.
    std::int64_t FirstNonFiniteFrame() const { return firstFrame_; }
    int FirstNonFiniteChannel() const { return firstChannel_; }

private:
    void Account(const float* interleaved, int channels, std::int64_t frames, std::uint32_t peakBits,
                 std::uint32_t bad);

    std::uint32_t peakBits_ = 0;
    std::int64_t frames_ = 0;
    std::int64_t nonFinite_ = 0;
    std::int64_t firstFrame_ = -1;
    int firstChannel_ = -1;
};

}  // namespace kestrom::tool
