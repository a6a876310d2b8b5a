#pragma once

// The routines of the routine table, by job; the table (RoutineTable.cpp)
// hands them to the host by selector. Internal to the host library; the
// argument rules are those of PluginRoutines.h.

#include "hostlib/RoutineSupport.h"

// Module and group
KESTROM_ROUTINE PI_Status PIR_InterfaceVersion(int32_t* version);
KESTROM_ROUTINE PI_Status PIR_GroupInfo(PI_GroupInfo* out);
KESTROM_ROUTINE PI_Status PIR_GroupOptionAt(int32_t index, int32_t* code);
KESTROM_ROUTINE PI_Status PIR_EffectTypeCount(int32_t* count);
KESTROM_ROUTINE PI_Status PIR_EffectTypeInfo(int32_t index, PI_EffectTypeInfo* out);
KESTROM_ROUTINE PI_Status PIR_EffectTypeOptionAt(int32_t typeIndex, int32_t optionIndex, int32_t* code);
KESTROM_ROUTINE PI_Status PIR_FindEffectType(int32_t typeId, int32_t* index);
KESTROM_ROUTINE PI_Status PIR_ViewClassCount(int32_t* count);
KESTROM_ROUTINE PI_Status PIR_ViewClassName(int32_t index, char* out, int32_t size);

// Instances
KESTROM_ROUTINE PI_Status PIR_CreateInstance(int32_t typeId, PI_Instance* out);
KESTROM_ROUTINE PI_Status PIR_InitializeInstance(PI_Instance instance, const PI_InstanceSetup* setup);
KESTROM_ROUTINE PI_Status PIR_DestroyInstance(PI_Instance instance);
KESTROM_ROUTINE PI_Status PIR_SetSampleRate(PI_Instance instance, int32_t rate);
KESTROM_ROUTINE PI_Status PIR_GetSampleRate(PI_Instance instance, int32_t* rate);
KESTROM_ROUTINE PI_Status PIR_GetChannelCounts(PI_Instance instance, int32_t* inputs, int32_t* outputs);
KESTROM_ROUTINE PI_Status PIR_SetSideChain(PI_Instance instance, int32_t connected);
KESTROM_ROUTINE PI_Status PIR_StateChangeCount(PI_Instance instance, int32_t* count);
KESTROM_ROUTINE PI_Status PIR_MaxBlockSize(PI_Instance instance, int32_t* frames);
KESTROM_ROUTINE PI_Status PIR_ClickedControl(PI_Instance instance, int32_t* control);
KESTROM_ROUTINE PI_Status PIR_SetHostCallbacks(PI_Instance instance, const PI_HostCallbacks* callbacks);
KESTROM_ROUTINE PI_Status PIR_InstanceType(PI_Instance instance, int32_t* typeId);

// Controls
KESTROM_ROUTINE PI_Status PIR_ControlCount(PI_Instance instance, int32_t* count);
KESTROM_ROUTINE PI_Status PIR_ControlInfo(PI_Instance instance, int32_t control, PI_ControlInfo* out);
KESTROM_ROUTINE PI_Status PIR_ControlName(PI_Instance instance, int32_t control, int32_t width, char* out,
                                          int32_t size);
KESTROM_ROUTINE PI_Status PIR_GetControlValue(PI_Instance instance, int32_t control, int32_t* value);
KESTROM_ROUTINE PI_Status PIR_SetControlValue(PI_Instance instance, int32_t control, int32_t value);
KESTROM_ROUTINE PI_Status PIR_ControlValueText(PI_Instance instance, int32_t control, int32_t value, int32_t width,
                                               char* out, int32_t size);
KESTROM_ROUTINE PI_Status PIR_ControlValueForText(PI_Instance instance, int32_t control, const char* text,
                                                  int32_t* value);
KESTROM_ROUTINE PI_Status PIR_ControlAcceptsChar(PI_Instance instance, int32_t control, int32_t code,
                                                 int32_t* accepts);
KESTROM_ROUTINE PI_Status PIR_FindControl(PI_Instance instance, int32_t id, int32_t* control);
KESTROM_ROUTINE PI_Status PIR_ControlTouched(PI_Instance instance, int32_t control);
KESTROM_ROUTINE PI_Status PIR_ControlReleased(PI_Instance instance, int32_t control);
KESTROM_ROUTINE PI_Status PIR_ControlToNumber(PI_Instance instance, int32_t control, int32_t value,
                                              double* number);
KESTROM_ROUTINE PI_Status PIR_ControlFromNumber(PI_Instance instance, int32_t control, double number,
                                                int32_t* value);
KESTROM_ROUTINE PI_Status PIR_MasterBypassControl(PI_Instance instance, int32_t* control);

// Render and bypass
KESTROM_ROUTINE PI_Status PIR_Render(PI_Instance instance, const PI_RenderRecord* record);
KESTROM_ROUTINE PI_Status PIR_SetBypass(PI_Instance instance, int32_t on);
KESTROM_ROUTINE PI_Status PIR_GetBypass(PI_Instance instance, int32_t* on);
KESTROM_ROUTINE PI_Status PIR_GetLatency(PI_Instance instance, int32_t* frames);

// Chunks
KESTROM_ROUTINE PI_Status PIR_ChunkCount(PI_Instance instance, int32_t* count);
KESTROM_ROUTINE PI_Status PIR_ChunkId(PI_Instance instance, int32_t index, int32_t* id);
KESTROM_ROUTINE PI_Status PIR_ChunkSize(PI_Instance instance, int32_t id, int32_t* size);
KESTROM_ROUTINE PI_Status PIR_GetChunk(PI_Instance instance, int32_t id, void* chunk, int32_t capacity);
KESTROM_ROUTINE PI_Status PIR_SetChunk(PI_Instance instance, int32_t id, const void* chunk, int32_t size);
KESTROM_ROUTINE PI_Status PIR_CompareChunk(PI_Instance instance, const void* chunk, int32_t size, int32_t* equal);

// Editor, view and port
KESTROM_ROUTINE PI_Status PIR_ViewRect(PI_Instance instance, PI_Rect* out);
KESTROM_ROUTINE PI_Status PIR_MakeView(PI_Instance instance, int32_t* made);
KESTROM_ROUTINE PI_Status PIR_SetWindow(PI_Instance instance, PI_Port port);
KESTROM_ROUTINE PI_Status PIR_ViewDraw(PI_Instance instance, const PI_Rect* area);
KESTROM_ROUTINE PI_Status PIR_EditorIsOpen(PI_Instance instance, int32_t* open);
KESTROM_ROUTINE PI_Status PIR_MeterCount(PI_Instance instance, int32_t* count);
KESTROM_ROUTINE PI_Status PIR_MeterValue(PI_Instance instance, int32_t meter, double* value, uint32_t* updates);
KESTROM_ROUTINE PI_Status PIR_ShowMeterValue(PI_Instance instance, int32_t meter, double value);

// Transport
KESTROM_ROUTINE PI_Status PIR_Transport(PI_Instance instance, PI_Transport* out);
KESTROM_ROUTINE PI_Status PIR_HostVersion(int32_t* packed);

// Every routine of a part this module does not use.
KESTROM_ROUTINE PI_Status PIR_Unsupported(void);
