#pragma once

#include <cstdint>

#include "bridge/IPlugProcess.h"
#include "hostlib/CEffectProcessRTAS.h"

class CEffectProcess;

// The real-time process: each host block goes to the plug-in's processing
// entry, or, with the host's master bypass on, straight through.
class IPlugProcessRTAS : public IPlugProcess, public CEffectProcessRTAS {
public:
    // Makes the plug-in and attaches it to this process.
    explicit IPlugProcessRTAS(int32_t processId);
    ~IPlugProcessRTAS() override;

    // The effect types' process-creation routine: a new process with the
    // registration's product ID, or null when none could be made.
    static CEffectProcess* Create();

    // ProcessInterface slots 14 - 18: the largest block and the transport.
    int MaxBlockSize() override;
    double TransportTempo() override;
    void TransportMeter(int* numerator, int* denominator) override;
    int TransportSamplePosition() override;
    void TransportState(HostTimeRecord* record) override;

protected:
    // Called by the host library once per block on the host's audio thread,
    // no lock held: reconnects the channels of the current stem formats, then
    // runs the block under the plug-in's lock.
    void RenderBlock(const float* const* inputs, float* const* outputs, int32_t frames) override;
};
