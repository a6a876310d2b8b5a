/*
 * The stand-in host engine's own controls, for hosts and tests: they play the
 * engine's part (open and close the registered module, answer its queries as
 * configured) and read back what the module sent it. The module never uses
 * this header.
 */
#ifndef KESTROM_STANDINS_ENGINESTANDIN_H
#define KESTROM_STANDINS_ENGINESTANDIN_H

#include <stdint.h>

#include "standins/engine/EngineRoutines.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Back to the start: no registered routines, 'vqta' answered 1, a largest
 * quantum of 1024 frames, version 0x0A03, no tokens, no MIDI clients. */
void KsEngine_Reset(void);

/* Whether this build of the engine offers the registrar at all. */
int32_t KsEngine_HasRegistrar(void);

/* The answers the engine gives. */
void KsEngine_SetVqta(int32_t answer);
void KsEngine_SetMaximumQuantum(int32_t frames);
void KsEngine_SetVersion(uint16_t version);

/* Whether a module registered its open and close routines; calling them as
 * the engine does (-1 when none are registered). */
int32_t KsEngine_HasModuleProcs(void);
int16_t KsEngine_OpenModule(void);
int16_t KsEngine_CloseModule(void);

/* Tokens received through FicSDSDispatchToken, oldest first. */
int32_t KsEngine_TokenCount(void);
/* Copies token `index` (KS_ENGINE_TOKEN_SIZE bytes) into `out`; 0, or -1 for
 * an index outside the list or a null `out`. */
int32_t KsEngine_TokenAt(int32_t index, void* out);

/* How many direct-MIDI clients were released. */
int32_t KsEngine_ReleasedMidiClients(void);

#ifdef __cplusplus
}
#endif

#endif /* KESTROM_STANDINS_ENGINESTANDIN_H */
