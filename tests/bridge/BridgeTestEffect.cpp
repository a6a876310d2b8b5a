#include "tests/bridge/BridgeTestEffect.h"

#include <chrono>
#include <thread>

namespace bridgetest {

std::atomic<TestPlug*> TestPlug::last{nullptr};
std::atomic<int> TestPlug::constructing{0};
std::atomic<int> TestPlug::mostAtOnce{0};

TestPlug::TestPlug()
    : IPlugRTAS(kNumParams, "1-1 2-2", 1, "Test", "", "Maker", 0x10000, kProductId, kMakerId, 0, false, false,
                false) {
    const int now = ++constructing;
    int most = mostAtOnce.load();
    while (now > most && !mostAtOnce.compare_exchange_weak(most, now)) {
    }
    Param(kPower)->DefineSwitch("Power", true);
    Param(kCount)->DefineInteger("Count", 2, 0, 8);
    Param(kGain)->DefineContinuous("Gain", 0.0, -20.0, 20.0, 0.1);
    Param(kMode)->DefineList("Mode", 1, 3);
    Param(kMode)->AddValueText(0, "soft");
    Param(kMode)->AddValueText(1, "medium");
    Param(kMode)->AddValueText(2, "hard");
    // Long enough for a second construction to overlap, were it not kept out.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    last.store(this);
    --constructing;
}

TestPlug::~TestPlug() {
    TestPlug* self = this;
    last.compare_exchange_strong(self, nullptr);
}

namespace {

constexpr int32_t kTypeIds[] = {kMonoType, kStereoType};
constexpr int32_t kTypeOptions[] = {8, 48, 55};

IPlugRTAS* MakeTestPlug() { return new TestPlug(); }

const PluginRegistration kDefault = {
    "Maker\nMkr\nTsMk", kMakerId, "Test\nTest", 3, kProductId, "Dynamics", "1-1 2-2", kTypeIds, 2, "Test\nTest",
    14, 6, kTypeOptions, 3, MakeTestPlug,
};

const PluginRegistration* current = &kDefault;

}  // namespace

const PluginRegistration& DefaultRegistration() { return kDefault; }

void ChangeRegistration(const PluginRegistration* registration) {
    current = registration != nullptr ? registration : &kDefault;
}

}  // namespace bridgetest

const PluginRegistration& ModuleRegistration() { return *bridgetest::current; }
