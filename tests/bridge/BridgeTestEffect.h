#pragma once

// A small effect for the bridge's tests, and the registration the module
// entry reads when the bridge is linked into a test: one parameter of each
// kind that becomes a host control (a switch, an integer, a continuous knob
// and a list of three), so every control class the bridge makes is reached.
// The tests may change the registration (ChangeRegistration) and put it back.
// Defining ModuleRegistration() here keeps the compressor's own registration
// (compressor/KestromModule.cpp) out of this test binary: the bridge's module
// entry, group and processes run with this effect.

#include <atomic>
#include <cstdint>

#include "bridge/IPlugRTAS.h"
#include "bridge/PluginRegistration.h"

namespace bridgetest {

constexpr int32_t FourCC(const char (&s)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(s[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(s[3])));
}

constexpr int32_t kProductId = FourCC("TsPl");
constexpr int32_t kMakerId = FourCC("TsMk");
constexpr int32_t kMonoType = FourCC("TsT1");
constexpr int32_t kStereoType = FourCC("TsT2");

// Parameter indices; parameter i is host control i + 2.
enum TestParam { kPower = 0, kCount, kGain, kMode, kNumParams };

class TestPlug : public IPlugRTAS {
public:
    TestPlug();
    ~TestPlug() override;

    // The plug-in made last (by the module's creation routine or directly).
    static TestPlug* Last() { return last.load(); }
    // How many constructors ran at the same time at most.
    static int MostAtOnce() { return mostAtOnce.load(); }
    static void ResetCounters() { mostAtOnce.store(0); }

private:
    static std::atomic<TestPlug*> last;
    static std::atomic<int> constructing;
    static std::atomic<int> mostAtOnce;
};

// The registration ModuleRegistration() answers: maker "Maker", product
// "Test" ('TsPl'), category "Dynamics", "1-1 2-2" with the types 'TsT1' and
// 'TsT2', group option 14, type property 6, type options 8, 48, 55.
const PluginRegistration& DefaultRegistration();
// Makes ModuleRegistration() answer `registration` (which must outlive its
// use), or the default again for null.
void ChangeRegistration(const PluginRegistration* registration);

}  // namespace bridgetest
