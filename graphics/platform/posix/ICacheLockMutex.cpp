// The editor caches' lock on POSIX systems: a std::mutex in the lock's storage.
#include <mutex>
#include <new>

#include "graphics/ICacheLock.h"

namespace {
std::mutex* Native(unsigned char* storage) { return std::launder(reinterpret_cast<std::mutex*>(storage)); }
}  // namespace

static_assert(sizeof(std::mutex) <= 64 && alignof(std::mutex) <= 8, "lock storage too small for a mutex");

ICacheLock::ICacheLock() { new (storage) std::mutex(); }
ICacheLock::~ICacheLock() { Native(storage)->~mutex(); }
void ICacheLock::lock() { Native(storage)->lock(); }
void ICacheLock::unlock() { Native(storage)->unlock(); }
