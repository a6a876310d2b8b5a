#include "core/LatencyDelay.h"

void LatencyDelay::Configure(int frames) {
    length = frames > 0 ? frames : 0;
    ring.assign(static_cast<std::size_t>(length) * static_cast<std::size_t>(inputCount), 0.0);
    writePos = 0;
}

void LatencyDelay::Process(double* const* inputs, double* const* outputs, int frames) {
    if (length <= 0) return;
    const int channels = inputCount < outputCount ? inputCount : outputCount;
    for (int n = 0; n < frames; ++n) {
        for (int c = 0; c < channels; ++c) {
            double& cell = ring[static_cast<std::size_t>(c) * length + writePos];
            const double in = inputs[c][n];  // read first: input and output may share a buffer
            outputs[c][n] = cell;
            cell = in;
        }
        if (++writePos >= length) writePos = 0;
    }
}
