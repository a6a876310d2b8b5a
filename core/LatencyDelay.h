#pragma once

#include <vector>

// Delays the inputs by `length` frames while the effect is bypassed, so a host
// that compensates the effect's latency stays aligned. One ring of `length`
// frames per input channel, channel after channel.
struct LatencyDelay {
    std::vector<double> ring;
    int writePos = 0;
    int inputCount = 0;
    int outputCount = 0;
    int length = 0;

    LatencyDelay(int nIn, int nOut) : inputCount(nIn), outputCount(nOut) {}

    // Sets the length and clears the ring (allocates: not for the audio thread).
    void Configure(int frames);

    // Output c at frame n is input c from `length` frames earlier, for every
    // channel below both counts; other outputs are left alone.
    void Process(double* const* inputs, double* const* outputs, int frames);
};
