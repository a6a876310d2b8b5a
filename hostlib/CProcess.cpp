#include "hostlib/CProcess.h"

CProcess::~CProcess() = default;

void CProcess::Initialize(int32_t rate) {
    if (IsInitialized()) return;
    sampleRate.store(rate, std::memory_order_relaxed);
    InitializeProcess();
    initialized.store(true, std::memory_order_release);
}

void CProcess::SetSampleRate(int32_t rate) {
    sampleRate.store(rate, std::memory_order_relaxed);
    if (IsInitialized()) SampleRateChanged(rate);
}

void CProcess::InitializeProcess() {}

void CProcess::SampleRateChanged(int32_t) {}
