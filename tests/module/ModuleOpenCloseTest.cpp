// Loading, opening and closing the module: its four exports and nothing else,
// open and close routines reached through the entry points and through the
// engine's registrar (or, with an engine without one, at load and unload),
// the resource file that accompanies it, and what the routines answer while
// it is closed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "bridge/HostEngine.h"
#include "tests/module/ModuleProcess.h"

namespace {

using namespace moduletest;

const std::string kResourceFile = std::string(KESTROM_MODULE) + ".rsr";

TEST(ModuleExports, ExactlyTheFourEntryPointsAreExported) {
    if (std::system("command -v nm >/dev/null 2>&1") != 0) GTEST_SKIP() << "nm is not installed";
    const std::string command = std::string("nm -D --defined-only '") + KESTROM_MODULE + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64], type[8], name[512];
        if (std::sscanf(line, "%63s %7s %511s", address, type, name) == 3) names.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"NewPlugIn", "WinPlugInClose", "WinPlugInOpen", "_PI_GetRoutineDescriptor"}));

    // The dynamic linker agrees: the entry points are found, the inside is not.
    HostProcess host;
    ASSERT_TRUE(host.LoadModule());
    Library module(KESTROM_MODULE, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(module.IsLoaded());
    for (const char* inside : {"PIR_Render", "PI_LibraryGetRoutineDescriptor", "_ZN11ModuleEntry10ModuleOpenEv",
                               "ModuleRegistration", "_Z18ModuleRegistrationv"})
        EXPECT_EQ(module.Get<void*>(inside), nullptr) << inside;
}

TEST(ModuleExports, TheRoutineTableHas166RoutinesOver176Selectors) {
    HostProcess host;
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
    void* routine = nullptr;
    EXPECT_EQ(host.describe(0xFFFFFFFFu, &routine), PI_ErrNoRoutine);
    EXPECT_EQ(routine, nullptr);
}

TEST(ModuleOpenClose, TheEngineOpensAndClosesTheModuleThroughTheRoutinesItWasHanded) {
    HostProcess host;
    ASSERT_TRUE(host.LoadModule());
    EXPECT_TRUE(host.HasModuleProcs());
    EXPECT_FALSE(host.IsOpen());  // loading alone opens nothing when the engine opens modules
    EXPECT_EQ(host.RegisteredFile(), "");

    EXPECT_EQ(host.EngineOpen(), 0);
    EXPECT_TRUE(host.IsOpen());
    EXPECT_EQ(host.RegisteredFile(), kResourceFile);

    EXPECT_EQ(host.EngineClose(), 0);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.RegisteredFile(), "");
}

enum class Step { EngineOpen, EngineClose, EntryOpen, EntryOpenWrongVersion, EntryClose };

struct OpenCloseCase {
    Step step;
    int32_t answer;
    bool openAfter;
};

int32_t Run(HostProcess& host, Step step) {
    switch (step) {
        case Step::EngineOpen: return host.EngineOpen();
        case Step::EngineClose: return host.EngineClose();
        case Step::EntryOpen: return host.EntryOpen(PI_INTERFACE_VERSION);
        case Step::EntryOpenWrongVersion: return host.EntryOpen(72);
        case Step::EntryClose: return host.EntryClose();
    }
    return -100;
}

void RunSteps(HostProcess& host, const std::vector<OpenCloseCase>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const OpenCloseCase& c = steps[i];
        EXPECT_EQ(Run(host, c.step), c.answer) << "step " << i;
        EXPECT_EQ(host.IsOpen(), c.openAfter) << "step " << i;
        EXPECT_EQ(host.RegisteredFile(), c.openAfter ? kResourceFile : "") << "step " << i;
    }
}

TEST(ModuleOpenClose, NestedOpensOnlyCountAndOnlyTheLastCloseTearsDown) {
    HostProcess host;
    ASSERT_TRUE(host.LoadModule());
    RunSteps(host, {
                       {Step::EngineOpen, 0, true},
                       {Step::EntryOpen, 0, true},
                       {Step::EntryOpenWrongVersion, -1, true},  // counts nothing
                       {Step::EngineClose, 0, true},
                       {Step::EntryClose, 0, false},
                       {Step::EntryClose, 0, false},  // a close without an open changes nothing...
                       {Step::EngineClose, 0, false},
                       {Step::EntryOpenWrongVersion, -1, false},
                       {Step::EntryOpen, 0, true},  // ... so the next open is the first again
                       {Step::EntryOpen, 0, true},
                       {Step::EngineOpen, 0, true},
                       {Step::EntryClose, 0, true},
                       {Step::EngineClose, 0, true},
                       {Step::EntryClose, 0, false},
                   });
}

TEST(ModuleOpenClose, AnyInterfaceVersionButSeventyThreeIsRefusedAndOpensNothing) {
    HostProcess host;
    ASSERT_TRUE(host.LoadModule());
    for (int32_t version : {72, 74, 0, -1, -73, 73 + 65536, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(host.EntryOpen(version), -1) << version;
        EXPECT_FALSE(host.IsOpen()) << version;
        EXPECT_EQ(host.RegisteredFile(), "") << version;
    }
    EXPECT_EQ(host.EntryOpen(73), 0);
    EXPECT_TRUE(host.IsOpen());
    EXPECT_EQ(host.EntryClose(), 0);
    EXPECT_FALSE(host.IsOpen());
}

TEST(ModuleOpenClose, NewPlugInOnAnOpenModuleKeepsItsGroupAndInstances) {
    HostProcess host;
    ASSERT_TRUE(host.LoadAndOpen());
    Instance plug(host, kStereo);
    ASSERT_TRUE(plug.Ok()) << plug.status;
    EXPECT_EQ(host.newPlugIn(0), 0);
    EXPECT_EQ(plug.Value(kPower), kOn);  // the instance is still there
    EXPECT_EQ(host.EngineClose(), 0);
    EXPECT_FALSE(host.IsOpen());
}

TEST(ModuleOpenClose, ClosingDestroysLiveInstancesAndAReopenedModuleForgetsThem) {
    HostProcess host;
    ASSERT_TRUE(host.LoadAndOpen());
    const auto create = host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE);
    const auto initialize = host.Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE);
    const auto controls = host.Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT);
    const auto render = host.Routine<PI_RenderProc>(PI_SEL_RENDER);
    const auto destroy = host.Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE);
    const PI_InstanceSetup setup{44100};

    PI_Instance old = 0;
    ASSERT_EQ(create(kMono, &old), PI_NoErr);
    ASSERT_EQ(initialize(old, &setup), PI_NoErr);
    ASSERT_EQ(host.EngineClose(), 0);  // with the instance alive

    float in[32] = {}, out[32] = {};
    const float* inputs[] = {in};
    float* outputs[] = {out};
    const PI_RenderRecord record{inputs, 1, outputs, 1, 32, 1, nullptr};
    int32_t count = -5;
    EXPECT_EQ(controls(old, &count), PI_ErrNotOpen);
    EXPECT_EQ(count, -5);
    EXPECT_EQ(render(old, &record), PI_ErrNotOpen);

    ASSERT_EQ(host.EngineOpen(), 0);
    EXPECT_EQ(controls(old, &count), PI_ErrBadInstance);
    EXPECT_EQ(render(old, &record), PI_ErrBadInstance);
    EXPECT_EQ(destroy(old), PI_ErrBadInstance);
    PI_Instance fresh = 0;
    ASSERT_EQ(create(kMono, &fresh), PI_NoErr);
    EXPECT_NE(fresh, old);
    ASSERT_EQ(initialize(fresh, &setup), PI_NoErr);
    EXPECT_EQ(render(fresh, &record), PI_NoErr);
    EXPECT_EQ(controls(fresh, &count), PI_NoErr);
    EXPECT_EQ(count, kControlCount);
    EXPECT_EQ(destroy(fresh), PI_NoErr);
    EXPECT_EQ(host.EngineClose(), 0);
}

TEST(ModuleOpenClose, WhileClosedEveryRoutineOfTheGroupAndItsInstancesAnswersNotOpen) {
    HostProcess host;
    ASSERT_TRUE(host.LoadModule());
    for (int round = 0; round < 2; ++round) {  // before the first open, and after a close
        SCOPED_TRACE(round == 0 ? "never opened" : "closed again");
        int32_t n = -5;
        double d = -5.0;
        uint32_t u = 5;
        char text[16] = "untouched";
        PI_GroupInfo group{};
        PI_EffectTypeInfo type{};
        PI_ControlInfo control{};
        PI_Rect rect{};
        PI_Transport transport{};
        const PI_InstanceSetup setup{48000};
        const PI_RenderRecord record{nullptr, 0, nullptr, 0, 0, 1, nullptr};
        unsigned char chunk[kChunkBytes] = {};
        const PI_Instance h = 1;
        const struct {
            const char* what;
            PI_Status status;
        } cases[] = {
            {"group info", host.Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO)(&group)},
            {"group option", host.Routine<PI_IndexedCodeProc>(PI_SEL_GROUP_OPTION_AT)(0, &n)},
            {"type count", host.Routine<PI_CountProc>(PI_SEL_EFFECT_TYPE_COUNT)(&n)},
            {"type info", host.Routine<PI_EffectTypeInfoProc>(PI_SEL_EFFECT_TYPE_INFO)(0, &type)},
            {"find type", host.Routine<PI_FindEffectTypeProc>(PI_SEL_FIND_EFFECT_TYPE)(kMono, &n)},
            {"view class", host.Routine<PI_IndexedTextProc>(PI_SEL_VIEW_CLASS_NAME)(0, text, sizeof text)},
            {"host version", host.Routine<PI_CountProc>(PI_SEL_HOST_VERSION)(&n)},
            {"create", host.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE)(kStereo, &n)},
            {"initialize", host.Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE)(h, &setup)},
            {"destroy", host.Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE)(h)},
            {"max block", host.Routine<PI_InstanceGetIntProc>(PI_SEL_MAX_BLOCK_SIZE)(h, &n)},
            {"control count", host.Routine<PI_InstanceGetIntProc>(PI_SEL_CONTROL_COUNT)(h, &n)},
            {"control info", host.Routine<PI_ControlInfoProc>(PI_SEL_CONTROL_INFO)(h, 1, &control)},
            {"set control", host.Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE)(h, 2, 0)},
            {"to number", host.Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER)(h, 2, 0, &d)},
            {"render", host.Routine<PI_RenderProc>(PI_SEL_RENDER)(h, &record)},
            {"bypass", host.Routine<PI_InstanceSetIntProc>(PI_SEL_SET_BYPASS)(h, 1)},
            {"chunk size", host.Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(h, kChunkId, &n)},
            {"set chunk", host.Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK)(h, kChunkId, chunk, sizeof chunk)},
            {"view rect", host.Routine<PI_ViewRectProc>(PI_SEL_VIEW_RECT)(h, &rect)},
            {"meter", host.Routine<PI_MeterValueProc>(PI_SEL_METER_VALUE)(h, 0, &d, &u)},
            {"transport", host.Routine<PI_TransportProc>(PI_SEL_TRANSPORT)(h, &transport)},
        };
        for (const auto& c : cases) EXPECT_EQ(c.status, PI_ErrNotOpen) << c.what;
        EXPECT_EQ(n, -5);
        EXPECT_EQ(d, -5.0);
        EXPECT_EQ(u, 5u);
        EXPECT_STREQ(text, "untouched");
        EXPECT_EQ(group.makerId, 0);

        // The interface version needs no open module.
        int32_t version = 0;
        EXPECT_EQ(host.Routine<PI_InterfaceVersionProc>(PI_SEL_INTERFACE_VERSION)(&version), PI_NoErr);
        EXPECT_EQ(version, PI_INTERFACE_VERSION);

        ASSERT_EQ(host.EngineOpen(), 0);
        ASSERT_EQ(host.EngineClose(), 0);
    }
}

TEST(ModuleOpenClose, WithoutTheRegistrarTheModuleOpensAtLoadAndClosesAtUnload) {
    HostProcess host(Engine::WithoutRegistrar);
    for (int load = 0; load < 2; ++load) {  // and again after an unload
        SCOPED_TRACE(load);
        ASSERT_TRUE(host.LoadModule());
        EXPECT_FALSE(host.HasModuleProcs());
        EXPECT_EQ(host.EngineOpen(), -1);  // the engine has nothing to call
        EXPECT_TRUE(host.IsOpen());
        EXPECT_EQ(host.RegisteredFile(), kResourceFile);

        // The entry points nest on the open the load made.
        EXPECT_EQ(host.EntryOpen(73), 0);
        EXPECT_EQ(host.EntryClose(), 0);
        EXPECT_TRUE(host.IsOpen());

        // An instance left alive goes with the module.
        Instance plug(host, kStereo);
        ASSERT_TRUE(plug.Ok()) << plug.status;
        plug.handle = 0;  // the host does not destroy it
        host.UnloadModule();
        EXPECT_EQ(host.RegisteredFile(), "");
    }
}

TEST(ModuleOpenClose, WithoutTheRegistrarAHostClosingItselfLeavesNothingForTheUnload) {
    HostProcess host(Engine::WithoutRegistrar);
    ASSERT_TRUE(host.LoadModule());
    ASSERT_TRUE(host.IsOpen());
    EXPECT_EQ(host.EntryClose(), 0);  // the close that matches the load's open
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.RegisteredFile(), "");
    host.UnloadModule();  // closes nothing a second time
    EXPECT_EQ(host.RegisteredFile(), "");
}

TEST(ModuleEngine, TheLargestBlockIsTheEnginesQuantumOr32) {
    HostProcess host;
    ASSERT_TRUE(host.LoadAndOpen());
    const struct {
        int32_t vqta, quantum, expected;
    } cases[] = {
        {0, 1024, 32},  // no variable quanta: the engine's fixed block
        {1, 1024, 1024}, {1, 256, 256}, {1, 1, 1}, {7, 100, 100},
        {1, 0, 32},  {1, -4, 32},  // a quantum below 1
        {1, 1 << 20, 1 << 20},
        {1, 1 << 30, HostEngine::kMaxBlockFrames},  // held to the largest block the buffers take
    };
    for (const auto& c : cases) {
        host.SetVqta(c.vqta);
        host.SetMaximumQuantum(c.quantum);
        Instance plug(host, kStereo);
        ASSERT_TRUE(plug.Ok()) << plug.status;
        EXPECT_EQ(plug.MaxBlock(), c.expected) << c.vqta << " " << c.quantum;
    }
}

TEST(ModuleEngine, TheHostVersionIsTheEnginesPacked) {
    HostProcess host;
    ASSERT_TRUE(host.LoadAndOpen());
    const auto hostVersion = host.Routine<PI_CountProc>(PI_SEL_HOST_VERSION);
    const struct {
        uint16_t version;
        int32_t packed;
    } cases[] = {{0x0A03, 409648}, {0x0B01, 450576}, {0x0000, 0}, {0x00FF, 4080}, {0xFFFF, 10448880}};
    for (const auto& c : cases) {
        host.SetVersion(c.version);
        int32_t packed = -1;
        EXPECT_EQ(hostVersion(&packed), PI_NoErr);
        EXPECT_EQ(packed, c.packed) << std::hex << c.version;
    }
}

TEST(ModuleResources, TheRegisteredByteOrderHookIsTheModules) {
    HostProcess host;
    ASSERT_TRUE(host.LoadAndOpen());
    unsigned char thng[44];
    for (int i = 0; i < 44; ++i) thng[i] = static_cast<unsigned char>(i);
    EXPECT_EQ(host.CallSwapHook(FourCC("thng"), thng), 1);
    EXPECT_EQ(thng[0], 3);   // the first 32-bit field reversed
    EXPECT_EQ(thng[26], 29);  // the last 16-bit field's neighbour...
    EXPECT_EQ(thng[42], 43);  // ...and the last 16-bit field reversed
    EXPECT_EQ(thng[43], 42);
    unsigned char other[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(host.CallSwapHook(FourCC("STR "), other), 0);
    EXPECT_EQ(other[0], 1);
    EXPECT_EQ(other[7], 8);
}

}  // namespace
