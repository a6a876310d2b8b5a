#include "tools/host/ModuleRoutines.h"

namespace kestrom::host {

namespace {

template <typename Routine>
bool Get(PI_GetRoutineDescriptorProc describe, uint32_t selector, Routine& routine, int& missing) {
    void* found = nullptr;
    if (describe(selector, &found) != PI_NoErr || found == nullptr) {
        missing = static_cast<int>(selector);
        return false;
    }
    routine = reinterpret_cast<Routine>(found);
    return true;
}

}  // namespace

bool ModuleRoutines::Fetch(PI_GetRoutineDescriptorProc describe, int& missing) {
    return describe != nullptr && Get(describe, PI_SEL_GROUP_INFO, groupInfo, missing) &&
           Get(describe, PI_SEL_EFFECT_TYPE_COUNT, effectTypeCount, missing) &&
           Get(describe, PI_SEL_EFFECT_TYPE_INFO, effectTypeInfo, missing) &&
           Get(describe, PI_SEL_CREATE_INSTANCE, createInstance, missing) &&
           Get(describe, PI_SEL_INITIALIZE_INSTANCE, initializeInstance, missing) &&
           Get(describe, PI_SEL_DESTROY_INSTANCE, destroyInstance, missing) &&
           Get(describe, PI_SEL_GET_CHANNEL_COUNTS, channelCounts, missing) &&
           Get(describe, PI_SEL_STATE_CHANGE_COUNT, stateChangeCount, missing) &&
           Get(describe, PI_SEL_MAX_BLOCK_SIZE, maxBlockSize, missing) &&
           Get(describe, PI_SEL_CONTROL_COUNT, controlCount, missing) &&
           Get(describe, PI_SEL_CONTROL_INFO, controlInfo, missing) &&
           Get(describe, PI_SEL_CONTROL_NAME, controlName, missing) &&
           Get(describe, PI_SEL_GET_CONTROL_VALUE, getControlValue, missing) &&
           Get(describe, PI_SEL_SET_CONTROL_VALUE, setControlValue, missing) &&
           Get(describe, PI_SEL_CONTROL_VALUE_TEXT, controlValueText, missing) &&
           Get(describe, PI_SEL_CONTROL_VALUE_FOR_TEXT, controlValueForText, missing) &&
           Get(describe, PI_SEL_CONTROL_FROM_NUMBER, controlFromNumber, missing) &&
           Get(describe, PI_SEL_CONTROL_TO_NUMBER, controlToNumber, missing) &&
           Get(describe, PI_SEL_RENDER, render, missing) && Get(describe, PI_SEL_SET_BYPASS, setBypass, missing) &&
           Get(describe, PI_SEL_CHUNK_SIZE, chunkSize, missing) && Get(describe, PI_SEL_GET_CHUNK, getChunk, missing) &&
           Get(describe, PI_SEL_SET_CHUNK, setChunk, missing) &&
           Get(describe, PI_SEL_COMPARE_CHUNK, compareChunk, missing) &&
           Get(describe, PI_SEL_CHUNK_ID, chunkId, missing) &&
           Get(describe, PI_SEL_METER_COUNT, meterCount, missing) &&
           Get(describe, PI_SEL_METER_VALUE, meterValue, missing) &&
           Get(describe, PI_SEL_SHOW_METER_VALUE, showMeterValue, missing) &&
           Get(describe, PI_SEL_VIEW_RECT, viewRect, missing) && Get(describe, PI_SEL_MAKE_VIEW, makeView, missing) &&
           Get(describe, PI_SEL_SET_WINDOW, setWindow, missing) && Get(describe, PI_SEL_VIEW_DRAW, viewDraw, missing) &&
           Get(describe, PI_SEL_EDITOR_IS_OPEN, editorIsOpen, missing) &&
           Get(describe, PI_SEL_SET_HOST_CALLBACKS, setHostCallbacks, missing);
}

}  // namespace kestrom::host
