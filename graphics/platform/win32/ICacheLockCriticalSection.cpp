// The editor caches' lock on Windows: a critical section in the lock's
// storage. Built only by Windows builds (graphics/CMakeLists.txt).
#include <windows.h>

#include <new>

#include "graphics/ICacheLock.h"

namespace {
CRITICAL_SECTION* Native(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
}  // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 64 && alignof(CRITICAL_SECTION) <= 8,
              "lock storage too small for a critical section");

ICacheLock::ICacheLock() { InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage)); }
ICacheLock::~ICacheLock() { DeleteCriticalSection(Native(storage)); }
void ICacheLock::lock() { EnterCriticalSection(Native(storage)); }
void ICacheLock::unlock() { LeaveCriticalSection(Native(storage)); }
