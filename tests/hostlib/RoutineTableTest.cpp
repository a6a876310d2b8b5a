#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "TestModule.h"

using namespace hostlib_test;

namespace {

// The selectors with a routine of their own; every other one with a routine
// belongs to an unused part of the host library.
const std::set<uint32_t> kImplemented = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 32, 33, 34, 35, 36,
    37, 38, 39, 40, 41, 42, 43, 44, 45, 64, 65, 66, 67, 80, 81, 82, 83, 84, 85, 96, 97, 98, 99, 100, 101, 102,
    103, 128, 129};
const std::set<uint32_t> kNone = {30, 31, 62, 63, 94, 95, 126, 127, 158, 159};

}  // namespace

TEST(RoutineTable, HasExactly166RoutinesAndTenEmptySelectors) {
    int withRoutine = 0;
    std::set<uint32_t> empty;
    for (uint32_t selector = 0; selector < PI_SELECTOR_COUNT; ++selector) {
        void* routine = reinterpret_cast<void*>(1);
        const int32_t status = PI_LibraryGetRoutineDescriptor(selector, &routine);
        if (routine) {
            EXPECT_EQ(status, PI_NoErr) << selector;
            ++withRoutine;
        } else {
            EXPECT_EQ(status, PI_ErrNoRoutine) << selector;
            empty.insert(selector);
        }
    }
    EXPECT_EQ(withRoutine, PI_ROUTINE_COUNT);
    EXPECT_EQ(empty, kNone);
}

TEST(RoutineTable, SelectorsPastTheTableAndANullOutAreRefused) {
    for (uint32_t selector : {176u, 177u, 1000u, 0xFFFFFFFFu}) {
        void* routine = reinterpret_cast<void*>(1);
        EXPECT_EQ(PI_LibraryGetRoutineDescriptor(selector, &routine), PI_ErrNoRoutine) << selector;
        EXPECT_EQ(routine, nullptr);
    }
    EXPECT_EQ(PI_LibraryGetRoutineDescriptor(1, nullptr), PI_ErrNullPointer);
}

TEST(RoutineTable, RoutinesOfUnusedPartsAnswerUnsupported) {
    int unsupported = 0;
    for (uint32_t selector = 0; selector < PI_SELECTOR_COUNT; ++selector) {
        if (kImplemented.count(selector) || kNone.count(selector)) continue;
        EXPECT_EQ(Routine<PI_UnsupportedProc>(selector)(), PI_ErrUnsupported) << selector;
        ++unsupported;
    }
    EXPECT_EQ(unsupported, PI_ROUTINE_COUNT - static_cast<int>(kImplemented.size()));
}

TEST(RoutineTable, WithoutAnOpenModuleRoutinesAnswerNotOpen) {
    ASSERT_EQ(CEffectGroup::ModuleGroup(), nullptr);
    Host host;
    int32_t value = 0;
    PI_GroupInfo info;
    PI_Instance instance = 0;
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const PI_RenderRecord record{inputs, 2, outputs, 2, 0, 1, nullptr};
    const int32_t statuses[] = {
        host.groupInfo(&info),
        host.effectTypeCount(&value),
        host.create(kStereoType, &instance),
        host.destroy(1),
        host.getValue(1, 1, &value),
        host.render(1, &record),
        host.chunkCount(1, &value),
        host.makeView(1, &value),
        host.hostVersion(&value),
    };
    for (int32_t status : statuses) EXPECT_EQ(status, PI_ErrNotOpen);
    EXPECT_EQ(instance, 0);
    // The interface version is the module's, open or not.
    EXPECT_EQ(host.interfaceVersion(&value), PI_NoErr);
    EXPECT_EQ(value, PI_INTERFACE_VERSION);
    EXPECT_EQ(host.interfaceVersion(nullptr), PI_ErrNullPointer);
}
