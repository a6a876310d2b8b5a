#pragma once

// What the routines of the routine table share: every routine runs its body
// inside Guarded, so no exception crosses the table, and the user-interface
// routines reach the group and their instance through WithGroup and
// WithInstance, which hold the instance registry's lock for the whole routine.
// Internal to the host library.

#include <cstdint>
#include <new>

#include "hostlib/CDAEError.h"
#include "hostlib/CEffectGroup.h"
#include "hostlib/CEffectProcess.h"
#include "hostlib/CInstanceRegistry.h"
#include "hostlib/PluginRoutines.h"

// The routines have C linkage (the host calls them through the plain C types
// of PluginRoutines.h) but are reached only through the table, never by name.
#if defined(_WIN32)
#define KESTROM_ROUTINE extern "C"
#else
#define KESTROM_ROUTINE extern "C" __attribute__((visibility("hidden")))
#endif

namespace kestrom::hostlib {

// Runs `body` (answering a PI_Status) and turns whatever it throws into a
// status: a CDAEError's code, PI_ErrOutOfMemory for a failed allocation,
// PI_ErrInternal for anything else.
template <class Body>
PI_Status Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const CDAEError& error) {
        return error.Code() != PI_NoErr ? error.Code() : PI_ErrInternal;
    } catch (const std::bad_alloc&) {
        return PI_ErrOutOfMemory;
    } catch (...) {
        return PI_ErrInternal;
    }
}

// Runs body(group) under the registry's lock; PI_ErrNotOpen without a group.
template <class Body>
PI_Status WithGroup(Body&& body) noexcept {
    return Guarded([&]() -> PI_Status {
        CInstanceRegistry::UiScope scope(CInstanceRegistry::Module());
        CEffectGroup* group = CEffectGroup::ModuleGroup();
        if (!group) return PI_ErrNotOpen;
        return body(*group);
    });
}

enum class Needs { Anything, Initialized };

// Runs body(process) for the live instance `instance` under the registry's
// lock: PI_ErrNotOpen without a group, PI_ErrBadInstance for a handle that
// names no live instance, PI_ErrNotInitialized when `needs` asks for an
// initialised instance and it is not.
template <class Body>
PI_Status WithInstance(PI_Instance instance, Needs needs, Body&& body) noexcept {
    return WithGroup([&](CEffectGroup&) -> PI_Status {
        CEffectProcess* process = CInstanceRegistry::Module().Find(instance);
        if (!process) return PI_ErrBadInstance;
        if (needs == Needs::Initialized && !process->IsInitialized()) return PI_ErrNotInitialized;
        return body(*process);
    });
}

// Copies `text` with its terminator into `out` of `size` bytes; answers
// PI_ErrBufferTooSmall (writing nothing) when it does not fit.
PI_Status WriteWholeText(const char* text, char* out, int32_t size);
// Copies at most size - 1 bytes of `text` and a terminator into `out`, whose
// size is at least 1.
void WriteCutText(const char* text, char* out, int32_t size);

}  // namespace kestrom::hostlib
