// The plug-in lock's platform part on Windows: a critical section (recursive
// by nature) in the lock's storage. Built only by Windows builds
// (core/CMakeLists.txt).
#include <windows.h>

#include <new>

#include "core/IPlugLock.h"

namespace {
CRITICAL_SECTION* Native(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
}  // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 64 && alignof(CRITICAL_SECTION) <= 8,
              "lock storage too small for a critical section");

void IPlugLock::NativeInit(unsigned char* storage) {
    InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
void IPlugLock::NativeDestroy(unsigned char* storage) { DeleteCriticalSection(Native(storage)); }
void IPlugLock::NativeEnter(unsigned char* storage) { EnterCriticalSection(Native(storage)); }
void IPlugLock::NativeLeave(unsigned char* storage) { LeaveCriticalSection(Native(storage)); }
