#include "hostlib/CEffectTypeRTAS.h"

#include "hostlib/CEffectProcessRTAS.h"

CEffectTypeRTAS::CEffectTypeRTAS(int32_t typeId, int32_t productId, int32_t categoryCode)
    : CEffectType(typeId, productId, categoryCode) {}

bool CEffectTypeRTAS::RunsProcess(const CEffectProcess& process) const {
    return dynamic_cast<const CEffectProcessRTAS*>(&process) != nullptr;
}
