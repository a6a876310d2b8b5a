// The routines about the module and its effect group: interface version, group
// and type information, option codes, view classes, the host's version.

#include <cstring>

#include "hostlib/CEffectType.h"
#include "hostlib/Routines.h"

namespace kestrom::hostlib {

PI_Status WriteWholeText(const char* text, char* out, int32_t size) {
    if (!text) text = "";
    const std::size_t length = std::strlen(text);
    if (size <= 0 || length >= static_cast<std::size_t>(size)) return PI_ErrBufferTooSmall;
    std::memcpy(out, text, length + 1);
    return PI_NoErr;
}

void WriteCutText(const char* text, char* out, int32_t size) {
    if (!text) text = "";
    std::size_t length = 0;
    while (length + 1 < static_cast<std::size_t>(size) && text[length] != '\0') ++length;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

}  // namespace kestrom::hostlib

using namespace kestrom::hostlib;

PI_Status PIR_InterfaceVersion(int32_t* version) {
    if (!version) return PI_ErrNullPointer;
    *version = PI_INTERFACE_VERSION;
    return PI_NoErr;
}

PI_Status PIR_GroupInfo(PI_GroupInfo* out) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        PI_GroupInfo info{};
        WriteCutText(group.MakerNames(), info.makerNames, PI_NAME_SIZE);
        WriteCutText(group.ProductNames(), info.productNames, PI_NAME_SIZE);
        // Product and category are the first type's: every type of a group is
        // the same product in another channel configuration.
        const CEffectType* first = group.EffectTypeAt(0);
        info.categoryCode = first ? first->CategoryCode() : CEffectType::kCategoryNone;
        WriteCutText(first ? CEffectType::CategoryName(info.categoryCode) : "", info.category, PI_NAME_SIZE);
        info.makerId = group.MakerId();
        info.productId = first ? first->ProductId() : 0;
        info.productVersion = group.ProductVersion();
        info.effectTypeCount = group.EffectTypeCount();
        info.optionCount = group.OptionCount();
        *out = info;
        return PI_NoErr;
    });
}

PI_Status PIR_GroupOptionAt(int32_t index, int32_t* code) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!code) return PI_ErrNullPointer;
        return group.OptionAt(index, code) ? PI_NoErr : PI_ErrBadIndex;
    });
}

PI_Status PIR_EffectTypeCount(int32_t* count) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!count) return PI_ErrNullPointer;
        *count = group.EffectTypeCount();
        return PI_NoErr;
    });
}

PI_Status PIR_EffectTypeInfo(int32_t index, PI_EffectTypeInfo* out) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        const CEffectType* type = group.EffectTypeAt(index);
        if (!type) return PI_ErrBadIndex;
        PI_EffectTypeInfo info{};
        WriteCutText(type->Names(), info.names, PI_NAME_SIZE);
        info.typeId = type->TypeId();
        info.productId = type->ProductId();
        info.categoryCode = type->CategoryCode();
        info.inputChannels = type->InputChannels();
        info.outputChannels = type->OutputChannels();
        info.inputStemFormat = type->InputStemFormat();
        info.outputStemFormat = type->OutputStemFormat();
        info.generalProperty = type->GeneralProperty();
        info.optionCount = type->OptionCount();
        *out = info;
        return PI_NoErr;
    });
}

PI_Status PIR_EffectTypeOptionAt(int32_t typeIndex, int32_t optionIndex, int32_t* code) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!code) return PI_ErrNullPointer;
        const CEffectType* type = group.EffectTypeAt(typeIndex);
        if (!type) return PI_ErrBadIndex;
        return type->OptionAt(optionIndex, code) ? PI_NoErr : PI_ErrBadIndex;
    });
}

PI_Status PIR_FindEffectType(int32_t typeId, int32_t* index) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!index) return PI_ErrNullPointer;
        const int32_t found = group.FindEffectType(typeId);
        if (found < 0) return PI_ErrBadIndex;
        *index = found;
        return PI_NoErr;
    });
}

PI_Status PIR_ViewClassCount(int32_t* count) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!count) return PI_ErrNullPointer;
        *count = group.ViewClassCount();
        return PI_NoErr;
    });
}

PI_Status PIR_ViewClassName(int32_t index, char* out, int32_t size) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!out) return PI_ErrNullPointer;
        const char* name = group.ViewClassName(index);
        if (!name) return PI_ErrBadIndex;
        return WriteWholeText(name, out, size);
    });
}

PI_Status PIR_HostVersion(int32_t* packed) {
    return WithGroup([&](CEffectGroup& group) -> PI_Status {
        if (!packed) return PI_ErrNullPointer;
        *packed = group.HostVersion();
        return PI_NoErr;
    });
}

PI_Status PIR_Unsupported(void) { return PI_ErrUnsupported; }
