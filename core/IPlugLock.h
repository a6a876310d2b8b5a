#pragma once

// The plug-in's recursive lock: the thread that holds it may take it again.
// A critical section on Windows, a recursive mutex elsewhere; the platform
// object lives in opaque storage so no system header leaks out of here.
class IPlugLock {
public:
    IPlugLock();
    ~IPlugLock();
    IPlugLock(const IPlugLock&) = delete;
    IPlugLock& operator=(const IPlugLock&) = delete;

    void Enter();
    void Leave();

private:
    alignas(8) unsigned char storage[64];
};

// Holds an IPlugLock for the lifetime of the guard.
class IPlugLockGuard {
public:
    explicit IPlugLockGuard(IPlugLock& l) : lock(l) { lock.Enter(); }
    ~IPlugLockGuard() { lock.Leave(); }
    IPlugLockGuard(const IPlugLockGuard&) = delete;
    IPlugLockGuard& operator=(const IPlugLockGuard&) = delete;

private:
    IPlugLock& lock;
};
