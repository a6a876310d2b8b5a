// The routine table: which routine answers each selector.

#include <array>
#include <cstdint>

#include "hostlib/PI_LibraryGetRoutineDescriptor.h"
#include "hostlib/Routines.h"

namespace {

using Table = std::array<void*, PI_SELECTOR_COUNT>;

template <class Routine>
void* Entry(Routine* routine) {
    return reinterpret_cast<void*>(routine);
}

// Selectors with no routine at all.
constexpr uint32_t kNone[] = {30, 31, 62, 63, 94, 95, 126, 127, 158, 159};

Table BuildTable() {
    Table table;
    // Every selector not listed below belongs to a part of the host's library
    // this module does not use.
    table.fill(Entry(&PIR_Unsupported));
    for (uint32_t selector : kNone) table[selector] = nullptr;

    table[PI_SEL_INTERFACE_VERSION] = Entry(&PIR_InterfaceVersion);
    table[PI_SEL_GROUP_INFO] = Entry(&PIR_GroupInfo);
    table[PI_SEL_GROUP_OPTION_AT] = Entry(&PIR_GroupOptionAt);
    table[PI_SEL_EFFECT_TYPE_COUNT] = Entry(&PIR_EffectTypeCount);
    table[PI_SEL_EFFECT_TYPE_INFO] = Entry(&PIR_EffectTypeInfo);
    table[PI_SEL_EFFECT_TYPE_OPTION_AT] = Entry(&PIR_EffectTypeOptionAt);
    table[PI_SEL_FIND_EFFECT_TYPE] = Entry(&PIR_FindEffectType);
    table[PI_SEL_VIEW_CLASS_COUNT] = Entry(&PIR_ViewClassCount);
    table[PI_SEL_VIEW_CLASS_NAME] = Entry(&PIR_ViewClassName);

    table[PI_SEL_CREATE_INSTANCE] = Entry(&PIR_CreateInstance);
    table[PI_SEL_INITIALIZE_INSTANCE] = Entry(&PIR_InitializeInstance);
    table[PI_SEL_DESTROY_INSTANCE] = Entry(&PIR_DestroyInstance);
    table[PI_SEL_SET_SAMPLE_RATE] = Entry(&PIR_SetSampleRate);
    table[PI_SEL_GET_SAMPLE_RATE] = Entry(&PIR_GetSampleRate);
    table[PI_SEL_GET_CHANNEL_COUNTS] = Entry(&PIR_GetChannelCounts);
    table[PI_SEL_SET_SIDE_CHAIN] = Entry(&PIR_SetSideChain);
    table[PI_SEL_STATE_CHANGE_COUNT] = Entry(&PIR_StateChangeCount);
    table[PI_SEL_MAX_BLOCK_SIZE] = Entry(&PIR_MaxBlockSize);
    table[PI_SEL_CLICKED_CONTROL] = Entry(&PIR_ClickedControl);
    table[PI_SEL_SET_HOST_CALLBACKS] = Entry(&PIR_SetHostCallbacks);
    table[PI_SEL_INSTANCE_TYPE] = Entry(&PIR_InstanceType);

    table[PI_SEL_CONTROL_COUNT] = Entry(&PIR_ControlCount);
    table[PI_SEL_CONTROL_INFO] = Entry(&PIR_ControlInfo);
    table[PI_SEL_CONTROL_NAME] = Entry(&PIR_ControlName);
    table[PI_SEL_GET_CONTROL_VALUE] = Entry(&PIR_GetControlValue);
    table[PI_SEL_SET_CONTROL_VALUE] = Entry(&PIR_SetControlValue);
    table[PI_SEL_CONTROL_VALUE_TEXT] = Entry(&PIR_ControlValueText);
    table[PI_SEL_CONTROL_VALUE_FOR_TEXT] = Entry(&PIR_ControlValueForText);
    table[PI_SEL_CONTROL_ACCEPTS_CHAR] = Entry(&PIR_ControlAcceptsChar);
    table[PI_SEL_FIND_CONTROL] = Entry(&PIR_FindControl);
    table[PI_SEL_CONTROL_TOUCHED] = Entry(&PIR_ControlTouched);
    table[PI_SEL_CONTROL_RELEASED] = Entry(&PIR_ControlReleased);
    table[PI_SEL_CONTROL_TO_NUMBER] = Entry(&PIR_ControlToNumber);
    table[PI_SEL_CONTROL_FROM_NUMBER] = Entry(&PIR_ControlFromNumber);
    table[PI_SEL_MASTER_BYPASS_CONTROL] = Entry(&PIR_MasterBypassControl);

    table[PI_SEL_RENDER] = Entry(&PIR_Render);
    table[PI_SEL_SET_BYPASS] = Entry(&PIR_SetBypass);
    table[PI_SEL_GET_BYPASS] = Entry(&PIR_GetBypass);
    table[PI_SEL_GET_LATENCY] = Entry(&PIR_GetLatency);

    table[PI_SEL_CHUNK_COUNT] = Entry(&PIR_ChunkCount);
    table[PI_SEL_CHUNK_ID] = Entry(&PIR_ChunkId);
    table[PI_SEL_CHUNK_SIZE] = Entry(&PIR_ChunkSize);
    table[PI_SEL_GET_CHUNK] = Entry(&PIR_GetChunk);
    table[PI_SEL_SET_CHUNK] = Entry(&PIR_SetChunk);
    table[PI_SEL_COMPARE_CHUNK] = Entry(&PIR_CompareChunk);

    table[PI_SEL_VIEW_RECT] = Entry(&PIR_ViewRect);
    table[PI_SEL_MAKE_VIEW] = Entry(&PIR_MakeView);
    table[PI_SEL_SET_WINDOW] = Entry(&PIR_SetWindow);
    table[PI_SEL_VIEW_DRAW] = Entry(&PIR_ViewDraw);
    table[PI_SEL_EDITOR_IS_OPEN] = Entry(&PIR_EditorIsOpen);
    table[PI_SEL_METER_COUNT] = Entry(&PIR_MeterCount);
    table[PI_SEL_METER_VALUE] = Entry(&PIR_MeterValue);
    table[PI_SEL_SHOW_METER_VALUE] = Entry(&PIR_ShowMeterValue);

    table[PI_SEL_TRANSPORT] = Entry(&PIR_Transport);
    table[PI_SEL_HOST_VERSION] = Entry(&PIR_HostVersion);
    return table;
}

}  // namespace

int32_t PI_LibraryGetRoutineDescriptor(uint32_t selector, void** routine) {
    if (!routine) return PI_ErrNullPointer;
    static const Table table = BuildTable();
    void* entry = selector < PI_SELECTOR_COUNT ? table[selector] : nullptr;
    *routine = entry;
    return entry ? PI_NoErr : PI_ErrNoRoutine;
}
