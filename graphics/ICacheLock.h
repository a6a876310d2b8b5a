#pragma once

// The lock of a process-wide editor cache (bitmaps, fonts): a critical
// section on Windows, a mutex elsewhere, not recursive. The platform object
// lives in opaque storage so no system header leaks out of here; one
// implementation per platform (graphics/platform/*/ICacheLock*.cpp).
// Usable with std::lock_guard. Any thread.
class ICacheLock {
public:
    ICacheLock();
    ~ICacheLock();
    ICacheLock(const ICacheLock&) = delete;
    ICacheLock& operator=(const ICacheLock&) = delete;

    void lock();
    void unlock();

private:
    alignas(8) unsigned char storage[64];
};
