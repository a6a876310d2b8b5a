#pragma once

#include "hostlib/PluginRoutines.h"

namespace kestrom::host {

// The module's routines a host calls, fetched once by selector from
// `_PI_GetRoutineDescriptor` and typed as the routine table declares them.
struct ModuleRoutines {
    PI_GroupInfoProc groupInfo = nullptr;
    PI_CountProc effectTypeCount = nullptr;
    PI_EffectTypeInfoProc effectTypeInfo = nullptr;

    PI_CreateInstanceProc createInstance = nullptr;
    PI_InitializeInstanceProc initializeInstance = nullptr;
    PI_InstanceProc destroyInstance = nullptr;
    PI_InstanceGetTwoIntsProc channelCounts = nullptr;
    PI_InstanceGetIntProc stateChangeCount = nullptr;
    PI_InstanceGetIntProc maxBlockSize = nullptr;

    PI_InstanceGetIntProc controlCount = nullptr;
    PI_ControlInfoProc controlInfo = nullptr;
    PI_ControlNameProc controlName = nullptr;
    PI_ControlGetIntProc getControlValue = nullptr;
    PI_ControlSetIntProc setControlValue = nullptr;
    PI_ControlValueTextProc controlValueText = nullptr;
    PI_ControlValueForTextProc controlValueForText = nullptr;
    PI_ControlFromNumberProc controlFromNumber = nullptr;
    PI_ControlToNumberProc controlToNumber = nullptr;

    PI_RenderProc render = nullptr;
    PI_InstanceSetIntProc setBypass = nullptr;

    PI_ChunkSizeProc chunkSize = nullptr;
    PI_GetChunkProc getChunk = nullptr;
    PI_SetChunkProc setChunk = nullptr;
    PI_CompareChunkProc compareChunk = nullptr;
    PI_ChunkIdProc chunkId = nullptr;

    PI_InstanceGetIntProc meterCount = nullptr;
    PI_MeterValueProc meterValue = nullptr;
    PI_ShowMeterValueProc showMeterValue = nullptr;

    PI_ViewRectProc viewRect = nullptr;
    PI_InstanceGetIntProc makeView = nullptr;
    PI_SetWindowProc setWindow = nullptr;
    PI_ViewDrawProc viewDraw = nullptr;
    PI_InstanceGetIntProc editorIsOpen = nullptr;
    PI_SetHostCallbacksProc setHostCallbacks = nullptr;

    // Fills every entry through `describe`; false with the missing
    // selector's number in `missing` when the module has no such routine.
    bool Fetch(PI_GetRoutineDescriptorProc describe, int& missing);
};

}  // namespace kestrom::host
