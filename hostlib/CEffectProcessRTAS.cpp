#include "hostlib/CEffectProcessRTAS.h"

#include "hostlib/CDAEError.h"

PI_Status CEffectProcessRTAS::Render(const PI_RenderRecord& record) {
    const int32_t frames = record.hasFrames ? record.frames : kDefaultFrames;
    if (frames < 0) return PI_ErrBadValue;
    const int32_t inputCount = InputChannels() + (SideChainConnected() ? 1 : 0);
    const int32_t outputCount = OutputChannels();
    if (inputCount > kMaxBuffers || outputCount > kMaxBuffers) return PI_ErrBadValue;
    if (record.inputCount < inputCount || record.outputCount < outputCount) return PI_ErrBadValue;
    if ((inputCount > 0 && !record.inputs) || (outputCount > 0 && !record.outputs)) return PI_ErrNullPointer;

    // The lists live on the stack: the audio thread allocates nothing.
    const float* inputs[kMaxBuffers];
    float* outputs[kMaxBuffers];
    for (int32_t i = 0; i < inputCount; ++i) {
        inputs[i] = record.inputs[i];
        if (!inputs[i]) return PI_ErrNullPointer;
    }
    for (int32_t i = 0; i < outputCount; ++i) {
        outputs[i] = record.outputs[i];
        if (!outputs[i]) return PI_ErrNullPointer;
    }

    PI_Status status = PI_NoErr;
    try {
        RenderBlock(inputs, outputs, frames);
        return PI_NoErr;
    } catch (const CDAEError& error) {
        status = error.Code() != PI_NoErr ? error.Code() : PI_ErrInternal;
    } catch (...) {
        status = PI_ErrInternal;
    }
    // The outputs may be half-written: point the host at the fallback buffers.
    if (record.fallbackOutputs) {
        for (int32_t i = 0; i < outputCount; ++i)
            if (record.fallbackOutputs[i]) record.outputs[i] = record.fallbackOutputs[i];
    }
    return status;
}
