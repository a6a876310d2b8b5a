#pragma once

#include <atomic>
#include <cstdint>

#include "hostlib/PluginRoutines.h"

// The part every process of the host library shares: the instance handle the
// host knows it by, the sample rate (whole hertz), the state-change counter
// the host polls to learn that the plug-in's state changed, and the one-time
// initialisation.
//
// Threads: the sample rate, the counter and the initialised flag are atomic,
// since the audio thread may read them while the user-interface thread sets
// them; everything else is used on the user-interface thread.
class CProcess {
public:
    static constexpr int32_t kDefaultSampleRate = 44100;

    CProcess() = default;
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    // Called by the host library's instance registry when the host destroys
    // the instance (or the module closes), on the user-interface thread that
    // withdrew it with the routine table's lock held, after any render in
    // progress has finished and no host callback of the process is running.
    virtual ~CProcess();

    // The handle the host knows this process by; 0 until the registry takes it.
    PI_Instance Instance() const { return instance; }

    // Initialises the process once: stores the sample rate, then runs
    // InitializeProcess. Later calls change nothing. When InitializeProcess
    // throws, the process stays uninitialised (and may be initialised again)
    // and the exception passes to the caller. User-interface thread.
    void Initialize(int32_t sampleRate);
    bool IsInitialized() const { return initialized.load(std::memory_order_acquire); }

    int32_t SampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
    // Stores the rate (callers pass a rate above 0) and, once the process is
    // initialised, tells SampleRateChanged. User-interface thread.
    void SetSampleRate(int32_t rate);

    int32_t StateChangeCount() const { return stateChangeCount.load(std::memory_order_relaxed); }
    // The plug-in's state changed in a way the host should save (a restored
    // chunk, a change the host did not make). Any thread.
    void IncrementStateChangeCount() { stateChangeCount.fetch_add(1, std::memory_order_relaxed); }

protected:
    // The initialisation step. Called once, by Initialize, on the
    // user-interface thread under the routine table's lock. This base version
    // does nothing.
    virtual void InitializeProcess();
    // The host changed the sample rate of an initialised process. Called by
    // SetSampleRate on the user-interface thread under the routine table's
    // lock (a render may be running). This base version does nothing.
    virtual void SampleRateChanged(int32_t rate);

private:
    friend class CInstanceRegistry;

    PI_Instance instance = 0;
    std::atomic<int32_t> sampleRate{kDefaultSampleRate};
    std::atomic<int32_t> stateChangeCount{0};
    std::atomic<bool> initialized{false};
};
