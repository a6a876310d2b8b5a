#include "tools/kestrom/SampleScan.h"

#include <algorithm>
#include <cstring>

namespace kestrom::tool {

namespace {

constexpr std::uint32_t kMagnitudeBits = 0x7FFFFFFFu;
constexpr std::uint32_t kExponentBits = 0x7F800000u;  // all ones: infinite or NaN

std::uint32_t Bits(float x) {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// One sample: counts it when it is not finite, else raises the peak to its
// magnitude. Branch- and select-free, so the loops around it vectorise: a
// magnitude at or above kExponentBits carries into bit 31 when
// kLowestExponentBit is added (no magnitude reaches 0x80000000 - that bit).
constexpr std::uint32_t kLowestExponentBit = 0x00800000u;
static_assert(kExponentBits + kLowestExponentBit == 0x80000000u, "non-finite magnitudes carry into the sign bit");

inline void Look(float x, std::uint32_t& peak, std::uint32_t& bad) {
    const std::uint32_t magnitude = Bits(x) & kMagnitudeBits;
    const std::uint32_t nonFinite = (magnitude + kLowestExponentBit) >> 31;  // 1 or 0
    bad += nonFinite;
    peak = std::max(peak, magnitude & (nonFinite - 1u));  // a non-finite sample counts as 0
}

}  // namespace

void SampleScan::Deinterleave(const float* in, int channels, std::int64_t frames, float* const* out) {
    std::uint32_t peak = 0, bad = 0;
    if (channels == 2) {
        float* __restrict left = out[0];
        float* __restrict right = out[1];
        for (std::int64_t i = 0; i < frames; ++i) {
            const float l = in[2 * i];
            const float r = in[2 * i + 1];
            left[i] = l;
            right[i] = r;
            Look(l, peak, bad);
            Look(r, peak, bad);
        }
    } else if (channels == 1) {
        float* __restrict mono = out[0];
        for (std::int64_t i = 0; i < frames; ++i) {
            mono[i] = in[i];
            Look(in[i], peak, bad);
        }
    } else {
        for (std::int64_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                out[c][i] = in[i * channels + c];
                Look(in[i * channels + c], peak, bad);
            }
        }
    }
    Account(in, channels, frames, peak, bad);
}

void SampleScan::Interleave(const float* const* in, int channels, std::int64_t frames, float* out) {
    std::uint32_t peak = 0, bad = 0;
    if (channels == 2) {
        const float* __restrict left = in[0];
        const float* __restrict right = in[1];
        float* __restrict both = out;
        for (std::int64_t i = 0; i < frames; ++i) {
            both[2 * i] = left[i];
            both[2 * i + 1] = right[i];
            Look(left[i], peak, bad);
            Look(right[i], peak, bad);
        }
    } else if (channels == 1) {
        const float* __restrict mono = in[0];
        for (std::int64_t i = 0; i < frames; ++i) {
            out[i] = mono[i];
            Look(mono[i], peak, bad);
        }
    } else {
        for (std::int64_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                out[i * channels + c] = in[c][i];
                Look(in[c][i], peak, bad);
            }
        }
    }
    Account(out, channels, frames, peak, bad);
}

void SampleScan::Account(const float* interleaved, int channels, std::int64_t frames, std::uint32_t peakBits,
                         std::uint32_t bad) {
    if (peakBits > peakBits_) {
        peakBits_ = peakBits;
    }
    if (bad != 0 && firstFrame_ < 0) {
        // Rare: find the first bad sample of this stretch the slow way.
        for (std::int64_t k = 0; k < frames * channels; ++k) {
            if ((Bits(interleaved[k]) & kMagnitudeBits) >= kExponentBits) {
                firstFrame_ = frames_ + k / channels;
                firstChannel_ = static_cast<int>(k % channels);
                break;
            }
        }
    }
    nonFinite_ += bad;
    frames_ += frames;
}

float SampleScan::Peak() const {
    float peak;
    std::memcpy(&peak, &peakBits_, sizeof peak);
    return peak;
}

}  // namespace kestrom::tool
