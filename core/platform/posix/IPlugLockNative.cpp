// The plug-in lock's platform part on POSIX systems: a std::recursive_mutex
// in the lock's storage.
#include <mutex>
#include <new>

#include "core/IPlugLock.h"

namespace {
std::recursive_mutex* Native(unsigned char* storage) {
    return std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}
}  // namespace

static_assert(sizeof(std::recursive_mutex) <= 64 && alignof(std::recursive_mutex) <= 8,
              "lock storage too small for a recursive mutex");

void IPlugLock::NativeInit(unsigned char* storage) { new (storage) std::recursive_mutex(); }
void IPlugLock::NativeDestroy(unsigned char* storage) { Native(storage)->~recursive_mutex(); }
void IPlugLock::NativeEnter(unsigned char* storage) { Native(storage)->lock(); }
void IPlugLock::NativeLeave(unsigned char* storage) { Native(storage)->unlock(); }
