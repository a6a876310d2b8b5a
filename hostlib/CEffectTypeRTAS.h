#pragma once

#include <cstdint>

#include "hostlib/CEffectType.h"

// An effect type whose instances render in real time on the host's audio
// thread: its creation routine must make CEffectProcessRTAS processes.
class CEffectTypeRTAS : public CEffectType {
public:
    CEffectTypeRTAS(int32_t typeId, int32_t productId, int32_t categoryCode);

protected:
    // Called by CreateProcess on the user-interface thread, no lock held:
    // true only for a CEffectProcessRTAS.
    bool RunsProcess(const CEffectProcess& process) const override;
};
