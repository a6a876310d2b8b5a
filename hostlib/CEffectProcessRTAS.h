#pragma once

#include <cstdint>

#include "hostlib/CEffectProcess.h"

// The process of an effect that renders in real time: the render routine
// hands it the host's block, it lists the buffers and the frame count and
// calls RenderBlock. It derives from CEffectProcess virtually, so that the
// plug-in side's process can derive from both this class and (through its own
// base) CEffectProcess and still be one process.
class CEffectProcessRTAS : public virtual CEffectProcess {
public:
    // Frames of a block whose record gives no frame count.
    static constexpr int32_t kDefaultFrames = 32;
    // Most buffers a block may list on either side: eight channels and a side
    // chain fit.
    static constexpr int32_t kMaxBuffers = 16;

    CEffectProcessRTAS() = default;

    // Renders the block of `record`. The inputs are the process's input
    // channels plus one when the side chain is connected; the outputs its
    // output channels; the frames `record.frames` when `record.hasFrames` is
    // set, else 32. Answers, rendering nothing:
    //  - PI_ErrBadValue for a negative frame count or fewer buffers in the
    //    record than the process has channels (extra buffers are ignored);
    //  - PI_ErrNullPointer for a missing buffer list or buffer.
    // Otherwise calls RenderBlock with the lists. If that throws, each output
    // pointer of the record is replaced by the matching fallback buffer (where
    // the record gives one) and the answer is the error's code (a CDAEError's)
    // or PI_ErrInternal. Allocates nothing. Called by the render routine on
    // the audio thread, no lock held.
    PI_Status Render(const PI_RenderRecord& record) final;

protected:
    // Processes one block: `inputs` and `outputs` list one buffer per channel
    // as Render describes, `frames` samples each (0 or more). Outputs may be
    // the same buffers as inputs. Called by Render on the audio thread, no
    // lock held (the plug-in side takes its own); may throw, Render catches.
    virtual void RenderBlock(const float* const* inputs, float* const* outputs, int32_t frames) = 0;
};
