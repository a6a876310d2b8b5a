#pragma once

namespace kestrom {

// The detection settings that "In" (through its normalised position n in
// 0..1), "Negative" and "Relaxed" select for one block:
//
//   setting                normal       negative     relaxed (wins over both)
//   threshold (dB)         10n - 45     10n - 32     unchanged
//   ratio                  2n + 1       6.9n - 12    unchanged
//   attack (ms)            0            0            4.87
//   release base (ms)      322 - 300n   322 - 300n   296
//   averaging (ms)         1.1 - 1.1n   0            8
//   feedback share         0.3          0            0
//   jitter depth           ~1e-4        ~1e-4        0
//
// Over the range of "In" the drive rises by 40 dB while the threshold rises by
// only 10 dB, the ratio steepens and release and averaging shorten, so driving
// harder also compresses harder and faster. The negative column keeps the
// ratio below zero over the whole range (-12 .. -5.1).
struct DynamicsSettings {
    double thresholdDb = 0.0;
    double ratio = 1.0;
    double attackMs = 0.0;
    double releaseBaseMs = 0.0;
    double averagingMs = 0.0;
    double feedbackShare = 0.0;
    double jitterDepth = 0.0;

    // The settings for normalised "In" n and the two switches.

    static DynamicsSettings Select(double inNormal, bool negative, bool relaxed);
};

}  // namespace kestrom
