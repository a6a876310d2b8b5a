/*
 * The host engine library's routines that a plug-in module calls. The module
 * never links the library: it finds the library already loaded in the host's
 * process and looks each routine up by name, so these are the names and the
 * types to look them up as. Plain C, shared by the module and the engine.
 */
#ifndef KESTROM_STANDINS_ENGINEROUTINES_H
#define KESTROM_STANDINS_ENGINEROUTINES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef _WIN32
#define KS_ENGINE_LIBRARY "DAE.DLL"
#define KS_ENGINE_MAX_QUANTUM_NAME "_FicGetMaximumRTASQuantum@0"
#else
#define KS_ENGINE_LIBRARY "libDAE.so"
#define KS_ENGINE_MAX_QUANTUM_NAME "FicGetMaximumRTASQuantum"
#endif

/* The module's open and close routines, which the registrar hands the engine. */
typedef int16_t (*KS_ModuleOpenCloseProc)(void);

/* "SetPlugInOpenAndCloseProcs": the engine calls `open` and `close` itself. */
typedef void (*KS_SetPlugInOpenAndCloseProcs)(KS_ModuleOpenCloseProc open, KS_ModuleOpenCloseProc close);
#define KS_ENGINE_REGISTRAR_NAME "SetPlugInOpenAndCloseProcs"

/* "FicGestalt": answers a four-character selector; 0 on success. */
typedef int32_t (*KS_FicGestalt)(int32_t selector, int32_t* response);
#define KS_ENGINE_GESTALT_NAME "FicGestalt"
#define KS_GESTALT_VQTA 0x76717461 /* 'vqta': whether variable processing quanta are offered */

/* The largest block, in frames, the engine renders. */
typedef int32_t (*KS_FicGetMaximumRTASQuantum)(void);

/* "FicGetVersion": the engine's version, major in the high byte. */
typedef uint16_t (*KS_FicGetVersion)(void);
#define KS_ENGINE_VERSION_NAME "FicGetVersion"

/* "FicSDSDispatchToken": hands the engine a 40-byte token record. */
typedef int32_t (*KS_FicSDSDispatchToken)(const void* token);
#define KS_ENGINE_DISPATCH_TOKEN_NAME "FicSDSDispatchToken"
#define KS_ENGINE_TOKEN_SIZE 40

/* "FicUnRegisterDirectMIDIClient": releases a direct-MIDI client. */
typedef int32_t (*KS_FicUnRegisterDirectMIDIClient)(void* client);
#define KS_ENGINE_UNREGISTER_MIDI_NAME "FicUnRegisterDirectMIDIClient"

#ifdef __cplusplus
}
#endif

#endif /* KESTROM_STANDINS_ENGINEROUTINES_H */
