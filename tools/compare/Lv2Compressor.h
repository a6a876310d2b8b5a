#pragma once

#include <lilv/lilv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/compare/CompressorSetup.h"
#include "tools/compare/Lv2Session.h"

namespace kestrom::compare {

// A compressor plug-in run over stereo audio as a host runs it: instantiated,
// every port connected (control inputs at their defaults but for the setup's
// values; control outputs, atom ports and extra audio inputs such as a side
// chain to buffers of their own, the side chain silent), activated, then
// run() on blocks of the session's block size, the input copied into the
// host's buffers and the output out of them. A plug-in with one audio output
// runs as two instances, one per channel.
class Lv2Compressor {
public:
    Lv2Compressor(Lv2Session& session, const CompressorSetup& setup);
    ~Lv2Compressor();
    Lv2Compressor(const Lv2Compressor&) = delete;
    Lv2Compressor& operator=(const Lv2Compressor&) = delete;

    // False with a message when the plug-in is missing, needs what the
    // session does not offer, has a port this host cannot connect or no
    // control input for one of the setup's values, or does not instantiate.
    bool Open(std::string& error);
    int Instances() const { return static_cast<int>(instances_.size()); }

    // Runs `frames` frames in blocks; the outputs may not alias the inputs.
    void Process(const float* inL, const float* inR, float* outL, float* outR, std::int64_t frames);

    // The value of control output `symbol` after the last run() (of the first
    // instance), or NaN when there is none.
    float ControlOutput(const std::string& symbol) const;

private:
    struct Instance;
    void ResetAtomOutputs(Instance& instance);

    Lv2Session& session_;
    CompressorSetup setup_;
    std::vector<std::unique_ptr<Instance>> instances_;
};

}  // namespace kestrom::compare
