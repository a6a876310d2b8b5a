/*
 * The stand-in host extension library's own controls, for hosts and tests:
 * which resource file is registered and current, the module's byte-order
 * hook, and the windows behind host ports. The module never uses this header.
 */
#ifndef KESTROM_STANDINS_EXTENSIONSTANDIN_H
#define KESTROM_STANDINS_EXTENSIONSTANDIN_H

#include <stdint.h>

#include "standins/extension/ExtensionRoutines.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Nothing registered, nothing current, no ports. */
void KsExtension_Reset(void);

/* The registered resource file's path into `out` (size bytes, terminator
 * included, cut to fit): 1 when one is registered, else 0 and `out` empty. */
int32_t KsExtension_RegisteredFile(char* out, int32_t size);

/* How deep the module's "use my resources" calls are nested now. */
int32_t KsExtension_UseDepth(void);

/* Calls the registered byte-order hook on one resource: its answer, or -1
 * when no hook is registered. */
int32_t KsExtension_CallSwapHook(int32_t type, void* data);

/* The window a host port stands for (what PortToWindow answers). */
void KsExtension_BindPort(intptr_t port, void* window);

#ifdef __cplusplus
}
#endif

#endif /* KESTROM_STANDINS_EXTENSIONSTANDIN_H */
