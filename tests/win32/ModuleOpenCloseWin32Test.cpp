// The Windows module's entry under a real Win32 loader: Kestrom.dpm loaded
// with LoadLibrary after the host's DAE.dll and DigiExt.dll, its four exports
// found by name, its routine table answering, its open and close routines
// handed to the engine's registrar at attach (or, with an engine without one,
// the module opening at attach and closing at detach), nested opens counting
// and interface versions other than 73 refused.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/win32/Win32ModuleHost.h"

namespace {

using namespace win32test;

constexpr int32_t kMakerId = ('T' << 24) | ('b' << 16) | ('R' << 8) | 'k';
constexpr int32_t kStereo = ('K' << 24) | ('s' << 16) | ('T' << 8) | '2';

TEST(ModuleEntryWin32, TheFourExportsAreFoundByNameAndReachTheRoutineTable) {
    Win32ModuleHost host;
    ASSERT_TRUE(host.LoadModule());

    int routines = 0;
    for (uint32_t selector = 0; selector < PI_SELECTOR_COUNT + 8; ++selector) {
        void* routine = &routines;  // must be overwritten either way
        const int32_t status = host.describe(selector, &routine);
        if (status == PI_NoErr) {
            EXPECT_LT(selector, static_cast<uint32_t>(PI_SELECTOR_COUNT));
            EXPECT_NE(routine, nullptr) << selector;
            ++routines;
        } else {
            EXPECT_EQ(status, PI_ErrNoRoutine) << selector;
            EXPECT_EQ(routine, nullptr) << selector;
        }
    }
    EXPECT_EQ(routines, PI_ROUTINE_COUNT);

    // The table's routines run in the module: the group it builds once open.
    ASSERT_EQ(host.EngineOpen(), 0);
    PI_GroupInfo group{};
    ASSERT_EQ(host.Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO)(&group), PI_NoErr);
    EXPECT_EQ(group.makerId, kMakerId);
    EXPECT_STREQ(group.category, "Dynamics");
    EXPECT_EQ(group.effectTypeCount, 2);
}

TEST(ModuleEntryWin32, AtAttachTheModuleHandsTheRegistrarItsOpenAndCloseAndStaysClosed) {
    Win32ModuleHost host;
    ASSERT_TRUE(host.LoadModule());
    EXPECT_TRUE(host.HasModuleProcs());
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.RegisteredFile(), "");

    EXPECT_EQ(host.EngineOpen(), 0);
    EXPECT_TRUE(host.IsOpen());
    EXPECT_EQ(host.RegisteredFile(), host.ExpectedResourceFile());

    EXPECT_EQ(host.EngineClose(), 0);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.RegisteredFile(), "");
}

enum class Step { EngineOpen, EngineClose, EntryOpen, EntryOpenWrongVersion, EntryClose };

struct OpenCloseStep {
    Step step;
    int32_t answer;
    bool openAfter;
};

TEST(ModuleEntryWin32, NestedOpensOnlyCountAndVersion72IsRefused) {
    Win32ModuleHost host;
    ASSERT_TRUE(host.LoadModule());
    const std::vector<OpenCloseStep> steps = {
        {Step::EntryOpenWrongVersion, -1, false},  // refused, opens nothing
        {Step::EngineOpen, 0, true},
        {Step::EntryOpen, 0, true},
        {Step::EntryOpenWrongVersion, -1, true},  // counts nothing
        {Step::EngineClose, 0, true},
        {Step::EntryClose, 0, false},
        {Step::EntryClose, 0, false},  // a close without an open changes nothing...
        {Step::EntryOpen, 0, true},    // ... so the next open is the first again
        {Step::EntryOpen, 0, true},
        {Step::EntryClose, 0, true},
        {Step::EntryClose, 0, false},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const OpenCloseStep& s = steps[i];
        int32_t answer = 0;
        switch (s.step) {
            case Step::EngineOpen: answer = host.EngineOpen(); break;
            case Step::EngineClose: answer = host.EngineClose(); break;
            case Step::EntryOpen: answer = host.EntryOpen(PI_INTERFACE_VERSION); break;
            case Step::EntryOpenWrongVersion: answer = host.EntryOpen(72); break;
            case Step::EntryClose: answer = host.EntryClose(); break;
        }
        EXPECT_EQ(answer, s.answer) << "step " << i;
        EXPECT_EQ(host.IsOpen(), s.openAfter) << "step " << i;
        EXPECT_EQ(host.RegisteredFile(), s.openAfter ? host.ExpectedResourceFile() : "") << "step " << i;
    }
}

TEST(ModuleEntryWin32, WithoutTheRegistrarTheModuleOpensAtAttachAndClosesAtDetach) {
    Win32ModuleHost host(Engine::WithoutRegistrar);
    for (int load = 0; load < 2; ++load) {  // and again after an unload
        SCOPED_TRACE(load);
        ASSERT_TRUE(host.LoadModule());
        EXPECT_FALSE(host.HasModuleProcs());
        EXPECT_EQ(host.EngineOpen(), -1);  // the engine has nothing to call
        EXPECT_TRUE(host.IsOpen());
        EXPECT_EQ(host.RegisteredFile(), host.ExpectedResourceFile());

        // The entry points nest on the open the attach made.
        EXPECT_EQ(host.EntryOpen(PI_INTERFACE_VERSION), 0);
        EXPECT_EQ(host.EntryClose(), 0);
        EXPECT_TRUE(host.IsOpen());

        // An instance left alive goes with the module at detach.
        PI_Instance instance = 0;
        ASSERT_EQ(host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE)(kStereo, &instance), PI_NoErr);
        host.UnloadModule();
        EXPECT_EQ(host.RegisteredFile(), "");
    }
}

}  // namespace
