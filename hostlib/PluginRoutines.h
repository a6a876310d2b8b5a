/*
 * The module's interface to its host: the routine table behind the exported
 * `_PI_GetRoutineDescriptor`(selector, &routine).
 *
 * A host loads the module, opens it (WinPlugInOpen(73), or through the open
 * and close routines the module hands the engine library's registrar), then
 * asks for routines by selector and calls them. Everything a host needs -
 * the effect types, creating and initialising instances, their controls and
 * texts, rendering and bypass, state chunks, the editor's view and window -
 * is reached this way; nothing here needs the caller to know a C++ object's
 * layout. The header is plain C and is shared by the module and every host.
 *
 * Conventions
 * - Every routine returns a PI_Status: PI_NoErr (0) or a negative code below.
 *   Results come back through out pointers, which are written only on
 *   success. A null pointer where one is required answers PI_ErrNullPointer.
 * - Instances are PI_Instance handles: small positive integers handed out by
 *   PI_CreateInstance and never reused while the module stays open. A handle
 *   that names no live instance answers PI_ErrBadInstance.
 * - Controls are indexed from 1: control 1 is the master bypass, the
 *   plug-in's parameter i is control i + 2. Control values are signed 32-bit
 *   integers spanning the control's whole range.
 * - Texts are NUL-terminated. A routine that writes text takes the buffer and
 *   its size in bytes and never writes more than that, terminator included
 *   (a size of 0 or less writes nothing and answers PI_ErrBufferTooSmall).
 *   Display widths are in characters; a width of 0 or less gives the empty text.
 *   A display text (a name or value at a width) is chosen for the smaller of
 *   the width and size - 1; any other text that does not fit answers
 *   PI_ErrBufferTooSmall and writes nothing.
 * - Effect types, option codes and view classes are indexed from 0; controls
 *   and chunks from 1.
 * - Threads: PI_Render runs on the host's audio thread; every other routine
 *   on its user-interface thread. A routine may be called for one instance
 *   from both at once (rendering while controls change); the module locks
 *   what it must.
 * - Selectors 0 to 175 exist. Exactly 166 of them have a routine; the 10
 *   marked "none" below answer PI_ErrNoRoutine with a null routine. Of the
 *   routines, those marked "unsupported" belong to parts of the host's
 *   plug-in library this effect does not use (MIDI nodes, DSP cards, ...):
 *   they take no arguments that matter and answer PI_ErrUnsupported.
 */
#ifndef KESTROM_HOSTLIB_PLUGINROUTINES_H
#define KESTROM_HOSTLIB_PLUGINROUTINES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Status codes ------------------------------------------------------ */

typedef int32_t PI_Status;

enum {
    PI_NoErr = 0,
    PI_ErrOutOfMemory = -7003,      /* an allocation failed */
    PI_ErrBadChunkId = -7157,       /* a chunk ID other than the instance's */
    PI_ErrInternal = -7401,         /* an unexpected failure inside the module */
    PI_ErrNoRoutine = -9007,        /* _PI_GetRoutineDescriptor: no routine for this selector */
    PI_ErrUnsupported = -9010,      /* a routine of a part this module does not use */
    PI_ErrBadInstance = -9011,      /* the handle names no live instance */
    PI_ErrNullPointer = -9012,      /* a required pointer was null */
    PI_ErrBadIndex = -9013,         /* an index or ID outside what exists */
    PI_ErrRejectedText = -9014,     /* a typed text that stands for no value */
    PI_ErrBufferTooSmall = -9015,   /* a buffer that cannot hold what was asked for */
    PI_ErrBadChunk = -9016,         /* chunk bytes too short, too long or not whole values */
    PI_ErrNotInitialized = -9017,   /* the instance is not initialised yet */
    PI_ErrNotOpen = -9018,          /* the module is not open */
    PI_ErrBadValue = -9019          /* a number outside what the routine accepts (a sample rate
                                       of 0 or less, a negative frame count, a NaN) */
};

/* The interface version WinPlugInOpen expects. */
#define PI_INTERFACE_VERSION 73

/* ---- Plain records ----------------------------------------------------- */

typedef int32_t PI_Instance;     /* 0 is never a valid handle */
typedef intptr_t PI_Port;        /* a host port for the editor; 0 detaches */

#define PI_NAME_SIZE 64

/* The effect group: maker and product, as the host's plug-in menu shows them. */
typedef struct PI_GroupInfo {
    char makerNames[PI_NAME_SIZE];   /* long name, short name, code, separated by line feeds */
    char productNames[PI_NAME_SIZE]; /* long and short name, separated by a line feed */
    char category[PI_NAME_SIZE];     /* the category text, e.g. "Dynamics" */
    int32_t makerId;                 /* four-character code, first character most significant */
    int32_t productId;
    int32_t productVersion;
    int32_t categoryCode;
    int32_t effectTypeCount;
    int32_t optionCount;             /* the group's option codes: PI_GroupOptionAt */
} PI_GroupInfo;

/* One effect type: one channel configuration of the effect. */
typedef struct PI_EffectTypeInfo {
    char names[PI_NAME_SIZE];
    int32_t typeId;                  /* e.g. 'KsT1' */
    int32_t productId;
    int32_t categoryCode;
    int32_t inputChannels;
    int32_t outputChannels;
    int32_t inputStemFormat;         /* 0 mono, 1 stereo, ...; -1 none */
    int32_t outputStemFormat;
    int32_t generalProperty;
    int32_t optionCount;             /* the type's option codes: PI_EffectTypeOptionAt */
} PI_EffectTypeInfo;

/* What the host tells an instance before it renders. */
typedef struct PI_InstanceSetup {
    int32_t sampleRate;              /* whole hertz, above 0 */
} PI_InstanceSetup;

/* The classes of host controls. */
enum {
    PI_ControlDiscrete = 1,
    PI_ControlList = 2,
    PI_ControlOnOff = 3,
    PI_ControlLinear = 4
};

typedef struct PI_ControlInfo {
    int32_t id;                      /* four-character code: 'bypa', or 0x206C6420 + parameter index */
    int32_t controlClass;            /* PI_Control..., or 0 for a class of none of these */
    int32_t stepCount;
    int32_t automatable;             /* 0 or 1 */
    int32_t isMasterBypass;          /* 0 or 1 */
    int32_t defaultValue;            /* as a control value */
    double minimum;                  /* the range in the control's own units */
    double maximum;
} PI_ControlInfo;

/* The host's side of an instance's controls. With callbacks connected, a
 * value the plug-in sets (its editor, a restored chunk) goes to the host
 * through setControlValue, and the host answers by calling PI_SetControlValue,
 * as a host with automation does; without them the module stores the value
 * and applies it at once. Gestures arrive as touched/released. The context is
 * handed back unchanged. Any entry may be null. */
typedef struct PI_HostCallbacks {
    void* context;
    void (*setControlValue)(void* context, PI_Instance instance, int32_t controlIndex, int32_t value);
    void (*controlTouched)(void* context, PI_Instance instance, int32_t controlIndex);
    void (*controlReleased)(void* context, PI_Instance instance, int32_t controlIndex);
} PI_HostCallbacks;

/* One block for PI_Render. The frame count is `frames` when `hasFrames` is
 * set, else 32. The instance renders its input channels (plus one side-chain
 * input while that is connected) and its output channels; fewer buffers than
 * that, or a negative frame count, answer PI_ErrBadValue, and a null list or
 * buffer PI_ErrNullPointer, rendering nothing. When rendering fails inside
 * the module, each pointer of the `outputs` array is replaced by the matching
 * `fallbackOutputs` buffer (when given), which the host may then play: a
 * failed block never leaves the host's outputs half-written without telling
 * it (the routine answers the error). The `outputs` array is therefore
 * writable. */
typedef struct PI_RenderRecord {
    const float* const* inputs;      /* inputCount buffers */
    int32_t inputCount;
    float** outputs;                 /* outputCount buffers; may equal inputs */
    int32_t outputCount;
    int32_t frames;
    int32_t hasFrames;
    float* const* fallbackOutputs;   /* outputCount buffers, or null */
} PI_RenderRecord;

/* An editor rectangle in host order. */
typedef struct PI_Rect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
} PI_Rect;

/* What the plug-in can see of the host's transport. */
typedef struct PI_Transport {
    double tempo;                    /* beats per minute, 0 when unknown */
    double samplePosition;
    double beatPosition;             /* quarter notes */
    int32_t numerator;
    int32_t denominator;
    int32_t playing;
} PI_Transport;

/* ---- The routines, by selector ----------------------------------------- */

/* Module and group (0 - 15) */
#define PI_SEL_INTERFACE_VERSION        0   /* (int32_t* version): PI_INTERFACE_VERSION */
#define PI_SEL_GROUP_INFO               1   /* (PI_GroupInfo* out) */
#define PI_SEL_GROUP_OPTION_AT          2   /* (int32_t index, int32_t* code) */
#define PI_SEL_EFFECT_TYPE_COUNT        3   /* (int32_t* count) */
#define PI_SEL_EFFECT_TYPE_INFO         4   /* (int32_t index, PI_EffectTypeInfo* out) */
#define PI_SEL_EFFECT_TYPE_OPTION_AT    5   /* (int32_t typeIndex, int32_t optionIndex, int32_t* code) */
#define PI_SEL_FIND_EFFECT_TYPE         6   /* (int32_t typeId, int32_t* index) */
#define PI_SEL_VIEW_CLASS_COUNT         7   /* (int32_t* count): registered view classes */
#define PI_SEL_VIEW_CLASS_NAME          8   /* (int32_t index, char* out, int32_t size) */
/* 9 - 15: unsupported (DSP-card group services) */

/* Instances (16 - 31) */
#define PI_SEL_CREATE_INSTANCE          16  /* (int32_t typeId, PI_Instance* out) */
#define PI_SEL_INITIALIZE_INSTANCE      17  /* (PI_Instance, const PI_InstanceSetup*): controls,
                                               channels, sample rate, reset; once */
#define PI_SEL_DESTROY_INSTANCE         18  /* (PI_Instance) */
#define PI_SEL_SET_SAMPLE_RATE          19  /* (PI_Instance, int32_t rate): rate above 0 */
#define PI_SEL_GET_SAMPLE_RATE          20  /* (PI_Instance, int32_t* rate) */
#define PI_SEL_GET_CHANNEL_COUNTS       21  /* (PI_Instance, int32_t* inputs, int32_t* outputs) */
#define PI_SEL_SET_SIDE_CHAIN           22  /* (PI_Instance, int32_t connected) */
#define PI_SEL_STATE_CHANGE_COUNT       23  /* (PI_Instance, int32_t* count) */
#define PI_SEL_MAX_BLOCK_SIZE           24  /* (PI_Instance, int32_t* frames) */
#define PI_SEL_CLICKED_CONTROL          25  /* (PI_Instance, int32_t* control): the control the user
                                               last clicked in the editor, 0 for none */
#define PI_SEL_SET_HOST_CALLBACKS       26  /* (PI_Instance, const PI_HostCallbacks*): null disconnects */
#define PI_SEL_INSTANCE_TYPE            27  /* (PI_Instance, int32_t* typeId) */
/* 28, 29: unsupported (direct MIDI client registration) */
/* 30, 31: none */

/* Controls (32 - 61). These, the render and bypass routines (64 - 67) and the
 * chunk routines (80 - 85) answer PI_ErrNotInitialized before the instance
 * is initialised. */
#define PI_SEL_CONTROL_COUNT            32  /* (PI_Instance, int32_t* count) */
#define PI_SEL_CONTROL_INFO             33  /* (PI_Instance, int32_t control, PI_ControlInfo* out) */
#define PI_SEL_CONTROL_NAME             34  /* (PI_Instance, int32_t control, int32_t width, char* out, int32_t size) */
#define PI_SEL_GET_CONTROL_VALUE        35  /* (PI_Instance, int32_t control, int32_t* value) */
#define PI_SEL_SET_CONTROL_VALUE        36  /* (PI_Instance, int32_t control, int32_t value): the host
                                               (automation, its own control) sets a value */
#define PI_SEL_CONTROL_VALUE_TEXT       37  /* (PI_Instance, int32_t control, int32_t value, int32_t width,
                                               char* out, int32_t size) */
#define PI_SEL_CONTROL_VALUE_FOR_TEXT   38  /* (PI_Instance, int32_t control, const char* text, int32_t* value):
                                               PI_ErrRejectedText when the text stands for no value */
#define PI_SEL_CONTROL_ACCEPTS_CHAR     39  /* (PI_Instance, int32_t control, int32_t code, int32_t* accepts) */
#define PI_SEL_FIND_CONTROL             40  /* (PI_Instance, int32_t id, int32_t* control) */
#define PI_SEL_CONTROL_TOUCHED          41  /* (PI_Instance, int32_t control): a host gesture begins */
#define PI_SEL_CONTROL_RELEASED         42  /* (PI_Instance, int32_t control): it ends */
#define PI_SEL_CONTROL_TO_NUMBER        43  /* (PI_Instance, int32_t control, int32_t value, double* number):
                                               the control value in the control's units */
#define PI_SEL_CONTROL_FROM_NUMBER      44  /* (PI_Instance, int32_t control, double number, int32_t* value) */
#define PI_SEL_MASTER_BYPASS_CONTROL    45  /* (PI_Instance, int32_t* control): 1; PI_ErrBadIndex when the
                                               instance has no master bypass */
/* 46 - 61: unsupported (control groups, page tables, control-surface layouts) */

/* Render and bypass (62 - 79) */
/* 62, 63: none */
#define PI_SEL_RENDER                   64  /* (PI_Instance, const PI_RenderRecord*): audio thread */
#define PI_SEL_SET_BYPASS               65  /* (PI_Instance, int32_t on): the host's bypass request */
#define PI_SEL_GET_BYPASS               66  /* (PI_Instance, int32_t* on) */
#define PI_SEL_GET_LATENCY              67  /* (PI_Instance, int32_t* frames) */
/* 68 - 79: unsupported (DSP-card and TDM render paths, voice allocation) */

/* Chunks (80 - 95)
 * A chunk is a 56-byte header followed by the state as whole 8-byte values:
 *   offset 0   int32  size of the whole chunk in bytes, header included
 *   offset 4   int32  header version, 1
 *   offset 8   int32  maker ID
 *   offset 12  int32  product ID
 *   offset 16  int32  the instance's effect type ID
 *   offset 20  int32  chunk ID
 *   offset 24  32 bytes: the product's long name, NUL-padded
 * in the machine's byte order, at any alignment. PI_GetChunk writes all of it;
 * PI_SetChunk and PI_CompareChunk read the size and the chunk ID. A chunk is
 * malformed (PI_ErrBadChunk) when the size handed over is below 56, its size
 * field is below 56 or larger than the size handed over, or the bytes after
 * the header are not a whole number of 8-byte values; bytes handed over past
 * the size field are ignored. PI_SetChunk also answers PI_ErrBadChunkId when
 * the chunk's ID is not the `id` argument, and PI_ErrBadChunk for a chunk
 * whose size differs from the instance's own (PI_ChunkSize): it would restore
 * only part of the state. PI_CompareChunk answers "not equal" for a
 * well-formed chunk whose size differs from the instance's own. PI_GetChunk
 * answers PI_ErrBufferTooSmall when the capacity is below PI_ChunkSize's
 * answer. A failing chunk routine writes and changes nothing. */
#define PI_SEL_CHUNK_COUNT              80  /* (PI_Instance, int32_t* count): 1 */
#define PI_SEL_CHUNK_ID                 81  /* (PI_Instance, int32_t index, int32_t* id): index from 1 */
#define PI_SEL_CHUNK_SIZE               82  /* (PI_Instance, int32_t id, int32_t* size): header included */
#define PI_SEL_GET_CHUNK                83  /* (PI_Instance, int32_t id, void* chunk, int32_t capacity):
                                               writes the 56-byte header and the state */
#define PI_SEL_SET_CHUNK                84  /* (PI_Instance, int32_t id, const void* chunk, int32_t size):
                                               PI_ErrBadChunk for a malformed chunk, nothing changed */
#define PI_SEL_COMPARE_CHUNK            85  /* (PI_Instance, const void* chunk, int32_t size, int32_t* equal) */
/* 86 - 93: unsupported (preset files and settings folders of the host) */
/* 94, 95: none */

/* Editor, view and port (96 - 127) */
#define PI_SEL_VIEW_RECT                96  /* (PI_Instance, PI_Rect* out): PI_ErrUnsupported for an
                                               instance without an editor */
#define PI_SEL_MAKE_VIEW                97  /* (PI_Instance, int32_t* made): builds the host view */
#define PI_SEL_SET_WINDOW               98  /* (PI_Instance, PI_Port port): attach the editor to a
                                               host port, or detach it with 0 */
#define PI_SEL_VIEW_DRAW                99  /* (PI_Instance, const PI_Rect* area): the host's draw request;
                                               PI_ErrNotInitialized until a view is made */
#define PI_SEL_EDITOR_IS_OPEN           100 /* (PI_Instance, int32_t* open) */
/* Meters: what the plug-in shows on its own meters (for the compressor,
 * meter 0 is its gain reduction: 0 none, 1 its full scale), as a host shows
 * a plug-in's meters beside its own. Meters are indexed from 0. */
#define PI_SEL_METER_COUNT              101 /* (PI_Instance, int32_t* count) */
#define PI_SEL_METER_VALUE              102 /* (PI_Instance, int32_t meter, double* value, uint32_t* updates):
                                               the value last handed to the meter and how many values
                                               it has been handed (modulo 2^32), read without taking it */
#define PI_SEL_SHOW_METER_VALUE         103 /* (PI_Instance, int32_t meter, double value): hands the meter a
                                               value as the plug-in's processing would (a preview) */
/* 104 - 125: unsupported (host-drawn control views, control-surface meters) */
/* 126, 127: none */

/* Transport (128 - 143) */
#define PI_SEL_TRANSPORT                128 /* (PI_Instance, PI_Transport* out): what the plug-in sees */
#define PI_SEL_HOST_VERSION             129 /* (int32_t* packed): the host's version as the plug-in sees it */
/* 130 - 143: unsupported (MIDI nodes, MIDI transport) */

/* Reserved (144 - 175) */
/* 144 - 157: unsupported (DSP-card and hardware services) */
/* 158, 159: none */
/* 160 - 175: unsupported (further host services) */

#define PI_SELECTOR_COUNT 176
#define PI_ROUTINE_COUNT 166

/* ---- Routine types ----------------------------------------------------- */

typedef PI_Status (*PI_UnsupportedProc)(void);

typedef PI_Status (*PI_InterfaceVersionProc)(int32_t* version);
typedef PI_Status (*PI_GroupInfoProc)(PI_GroupInfo* out);
typedef PI_Status (*PI_IndexedCodeProc)(int32_t index, int32_t* code);
typedef PI_Status (*PI_CountProc)(int32_t* count);
typedef PI_Status (*PI_EffectTypeInfoProc)(int32_t index, PI_EffectTypeInfo* out);
typedef PI_Status (*PI_EffectTypeOptionAtProc)(int32_t typeIndex, int32_t optionIndex, int32_t* code);
typedef PI_Status (*PI_FindEffectTypeProc)(int32_t typeId, int32_t* index);
typedef PI_Status (*PI_IndexedTextProc)(int32_t index, char* out, int32_t size);

typedef PI_Status (*PI_CreateInstanceProc)(int32_t typeId, PI_Instance* out);
typedef PI_Status (*PI_InitializeInstanceProc)(PI_Instance instance, const PI_InstanceSetup* setup);
typedef PI_Status (*PI_InstanceProc)(PI_Instance instance);
typedef PI_Status (*PI_InstanceSetIntProc)(PI_Instance instance, int32_t value);
typedef PI_Status (*PI_InstanceGetIntProc)(PI_Instance instance, int32_t* value);
typedef PI_Status (*PI_InstanceGetTwoIntsProc)(PI_Instance instance, int32_t* first, int32_t* second);
typedef PI_Status (*PI_SetHostCallbacksProc)(PI_Instance instance, const PI_HostCallbacks* callbacks);

typedef PI_Status (*PI_ControlInfoProc)(PI_Instance instance, int32_t control, PI_ControlInfo* out);
typedef PI_Status (*PI_ControlNameProc)(PI_Instance instance, int32_t control, int32_t width, char* out,
                                        int32_t size);
typedef PI_Status (*PI_ControlGetIntProc)(PI_Instance instance, int32_t control, int32_t* value);
typedef PI_Status (*PI_ControlSetIntProc)(PI_Instance instance, int32_t control, int32_t value);
typedef PI_Status (*PI_ControlValueTextProc)(PI_Instance instance, int32_t control, int32_t value, int32_t width,
                                             char* out, int32_t size);
typedef PI_Status (*PI_ControlValueForTextProc)(PI_Instance instance, int32_t control, const char* text,
                                                int32_t* value);
typedef PI_Status (*PI_ControlAcceptsCharProc)(PI_Instance instance, int32_t control, int32_t code,
                                               int32_t* accepts);
typedef PI_Status (*PI_ControlProc)(PI_Instance instance, int32_t control);
typedef PI_Status (*PI_ControlToNumberProc)(PI_Instance instance, int32_t control, int32_t value, double* number);
typedef PI_Status (*PI_ControlFromNumberProc)(PI_Instance instance, int32_t control, double number,
                                              int32_t* value);

typedef PI_Status (*PI_RenderProc)(PI_Instance instance, const PI_RenderRecord* record);

typedef PI_Status (*PI_ChunkIdProc)(PI_Instance instance, int32_t index, int32_t* id);
typedef PI_Status (*PI_ChunkSizeProc)(PI_Instance instance, int32_t id, int32_t* size);
typedef PI_Status (*PI_GetChunkProc)(PI_Instance instance, int32_t id, void* chunk, int32_t capacity);
typedef PI_Status (*PI_SetChunkProc)(PI_Instance instance, int32_t id, const void* chunk, int32_t size);
typedef PI_Status (*PI_CompareChunkProc)(PI_Instance instance, const void* chunk, int32_t size, int32_t* equal);

typedef PI_Status (*PI_ViewRectProc)(PI_Instance instance, PI_Rect* out);
typedef PI_Status (*PI_SetWindowProc)(PI_Instance instance, PI_Port port);
typedef PI_Status (*PI_ViewDrawProc)(PI_Instance instance, const PI_Rect* area);

typedef PI_Status (*PI_MeterValueProc)(PI_Instance instance, int32_t meter, double* value, uint32_t* updates);
typedef PI_Status (*PI_ShowMeterValueProc)(PI_Instance instance, int32_t meter, double value);

typedef PI_Status (*PI_TransportProc)(PI_Instance instance, PI_Transport* out);

/* ---- The module's exports ---------------------------------------------- */

/* The module's exports, with C linkage. On Windows they follow the host's
 * calling convention; these are the types a host looks them up as. */
typedef int16_t (*PI_NewPlugInProc)(int32_t ignored);
typedef int32_t (*PI_GetRoutineDescriptorProc)(uint32_t selector, void** routine);
typedef int32_t (*PI_WinPlugInOpenProc)(int32_t interfaceVersion);
typedef int32_t (*PI_WinPlugInCloseProc)(void);

#ifdef __cplusplus
}
#endif

#endif /* KESTROM_HOSTLIB_PLUGINROUTINES_H */
