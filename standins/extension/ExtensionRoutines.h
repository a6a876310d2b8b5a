/*
 * The host extension library's routines that a plug-in module calls. On
 * Windows the library exports them by ordinal only; elsewhere by the names
 * below. The module never links the library: it finds it loaded in the
 * host's process and looks the routines up. Plain C, shared by the module
 * and the library.
 */
#ifndef KESTROM_STANDINS_EXTENSIONROUTINES_H
#define KESTROM_STANDINS_EXTENSIONROUTINES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef _WIN32
#define KS_EXTENSION_LIBRARY "DigiExt.dll"
#else
#define KS_EXTENSION_LIBRARY "libDigiExt.so"
#endif

/* Converts one resource of the module's resource file to the machine's byte
 * order: (ignored, resource type, ignored, resource data) -> 1 when handled. */
typedef int32_t (*KS_ResourceSwapHook)(int32_t ignored, int32_t type, int32_t ignored2, void* data);

/* Registers the module's resource file (the module's path + ".rsr") with its
 * byte-order hook; 0 on success. */
typedef int32_t (*KS_RegisterResourceFile)(const char* path, KS_ResourceSwapHook hook);
#define KS_EXTENSION_REGISTER_NAME "RegisterResourceFile"
#define KS_EXTENSION_REGISTER_ORDINAL 1

/* Forgets it again; 0 on success, -1 when it was not registered. */
typedef int32_t (*KS_UnregisterResourceFile)(const char* path);
#define KS_EXTENSION_UNREGISTER_NAME "UnregisterResourceFile"
#define KS_EXTENSION_UNREGISTER_ORDINAL 2

/* Makes the registered resource file current; returns what was current
 * before, for KS_RestoreResourceFile. Calls nest. */
typedef int32_t (*KS_UseResourceFile)(void);
#define KS_EXTENSION_USE_NAME "UseResourceFile"
#define KS_EXTENSION_USE_ORDINAL 3

typedef void (*KS_RestoreResourceFile)(int32_t saved);
#define KS_EXTENSION_RESTORE_NAME "RestoreResourceFile"
#define KS_EXTENSION_RESTORE_ORDINAL 4

/* The window behind a host port, or null. */
typedef void* (*KS_PortToWindow)(intptr_t port);
#define KS_EXTENSION_PORT_TO_WINDOW_NAME "PortToWindow"
#define KS_EXTENSION_PORT_TO_WINDOW_ORDINAL 5

#ifdef __cplusplus
}
#endif

#endif /* KESTROM_STANDINS_EXTENSIONROUTINES_H */
