// The module entry in this process, with the test effect's registration: the
// byte-order hook of the resource file, the open count and what the first
// open and last close do, a failing open, the load and unload hooks with and
// without the engine's registrar, the module's paths, and the creation lock.
//
// The entry's state is module-wide; each test leaves it closed (and each runs
// in a process of its own under CTest besides).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bridge/HostEngine.h"
#include "bridge/IPlugGroup.h"
#include "bridge/ModuleEntry.h"
#include "hostlib/CEffectGroup.h"
#include "hostlib/PluginRoutines.h"
#include "tests/bridge/BridgeTestEffect.h"

namespace {

using namespace bridgetest;

// One of the host's libraries, loaded by path as the host has it loaded.
struct HostLibraryLoaded {
    explicit HostLibraryLoaded(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_GLOBAL)) {}
    ~HostLibraryLoaded() {
        if (handle != nullptr) dlclose(handle);
    }
    template <typename F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
    void* handle;
};

std::string RegisteredFile(const HostLibraryLoaded& extension) {
    char path[512] = {};
    return extension.Get<int32_t (*)(char*, int32_t)>("KsExtension_RegisteredFile")(path, sizeof path) != 0
               ? std::string(path)
               : std::string();
}

// Closes whatever a test left open.
struct ClosedAfterwards {
    ~ClosedAfterwards() {
        while (ModuleEntry::OpenCount() > 0) ModuleEntry::ModuleClose();
        ChangeRegistration(nullptr);
    }
};

// ---- The resource file's byte-order hook ---------------------------------------

constexpr int32_t kThng = FourCC("thng");
constexpr int32_t kCfrg = FourCC("cfrg");

// The fields of a 'thng' resource as (offset, size): five 32-bit fields, then
// four pairs of a 32-bit and a 16-bit field.
const std::vector<std::pair<int, int>> kThngFields = {{0, 4},  {4, 4},  {8, 4},  {12, 4}, {16, 4},
                                                      {20, 4}, {24, 2}, {26, 4}, {30, 2}, {32, 4},
                                                      {36, 2}, {38, 4}, {42, 2}};

std::unique_ptr<unsigned char[]> Counting(int size) {
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[static_cast<std::size_t>(size)]);
    for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i + 1);
    return bytes;
}

TEST(ModuleEntry, AThingResourceHasEachOfItsThirteenFieldsReversedInPlace) {
    // Exactly 44 bytes, so any access past them is caught by the sanitizers.
    auto bytes = Counting(44);
    ASSERT_EQ(ModuleEntry::ResourceSwapHook(0, kThng, 0, bytes.get()), 1);
    std::vector<unsigned char> expected(44);
    for (int i = 0; i < 44; ++i) expected[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i + 1);
    int covered = 0;
    for (const auto& field : kThngFields) {
        std::reverse(expected.begin() + field.first, expected.begin() + field.first + field.second);
        covered += field.second;
    }
    EXPECT_EQ(covered, 44);  // the fields tile the resource
    EXPECT_EQ(std::vector<unsigned char>(bytes.get(), bytes.get() + 44), expected);

    // Reversing again gives the resource back.
    ASSERT_EQ(ModuleEntry::ResourceSwapHook(0, kThng, 0, bytes.get()), 1);
    for (int i = 0; i < 44; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i)], i + 1) << i;
}

TEST(ModuleEntry, ACodeFragmentResourceHasTheFieldAtThirtyTwoReversed) {
    auto bytes = Counting(36);
    ASSERT_EQ(ModuleEntry::ResourceSwapHook(7, kCfrg, 9, bytes.get()), 1);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i)], i + 1) << i;
    EXPECT_EQ(bytes[32], 36);
    EXPECT_EQ(bytes[33], 35);
    EXPECT_EQ(bytes[34], 34);
    EXPECT_EQ(bytes[35], 33);
}

TEST(ModuleEntry, OtherResourcesAreLeftAloneAndReportedUnhandled) {
    for (int32_t type : {FourCC("STR "), FourCC("THNG"), FourCC("gnht"), FourCC("cfrG"), 0, -1}) {
        auto bytes = Counting(44);
        EXPECT_EQ(ModuleEntry::ResourceSwapHook(0, type, 0, bytes.get()), 0) << type;
        for (int i = 0; i < 44; ++i) EXPECT_EQ(bytes[static_cast<std::size_t>(i)], i + 1) << type << " " << i;
    }
    EXPECT_EQ(ModuleEntry::ResourceSwapHook(0, kThng, 0, nullptr), 0);
    EXPECT_EQ(ModuleEntry::ResourceSwapHook(0, kCfrg, 0, nullptr), 0);
}

// ---- Open and close ------------------------------------------------------------

TEST(ModuleEntry, OnlyTheFirstOpenBuildsAndOnlyTheLastCloseTearsDown) {
    ClosedAfterwards closed;
    HostLibraryLoaded extension(KESTROM_EXTENSION_STANDIN);
    ASSERT_NE(extension.handle, nullptr) << dlerror();
    extension.Get<void (*)()>("KsExtension_Reset")();
    ASSERT_TRUE(ModuleEntry::Attach(nullptr, "/plugins/Test.so"));  // opens at once: no engine
    ASSERT_EQ(ModuleEntry::OpenCount(), 1);
    EXPECT_EQ(RegisteredFile(extension), "/plugins/Test.so.rsr");
    IPlugGroup* const group = ModuleEntry::Group();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(CEffectGroup::ModuleGroup(), group);

    enum class Op { Open, Close, EntryOpen, EntryOpenWrong, EntryClose };
    const struct {
        Op step;
        int32_t answer;
        int countAfter;
        bool openAfter;
    } steps[] = {
        {Op::Open, 0, 2, true},
        {Op::EntryOpen, 0, 3, true},
        {Op::EntryOpenWrong, -1, 3, true},
        {Op::Close, 0, 2, true},
        {Op::EntryClose, 0, 1, true},
        {Op::Close, 0, 0, false},
        {Op::Close, 0, 0, false},  // never below zero
        {Op::EntryClose, 0, 0, false},
        {Op::EntryOpen, 0, 1, true},
        {Op::Close, 0, 0, false},
    };
    for (std::size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const auto& s = steps[i];
        int32_t answer = -100;
        switch (s.step) {
            case Op::Open: answer = ModuleEntry::ModuleOpen(); break;
            case Op::Close: answer = ModuleEntry::ModuleClose(); break;
            case Op::EntryOpen: answer = ModuleEntry::WinPlugInOpen(73); break;
            case Op::EntryOpenWrong: answer = ModuleEntry::WinPlugInOpen(72); break;
            case Op::EntryClose: answer = ModuleEntry::WinPlugInClose(); break;
        }
        EXPECT_EQ(answer, s.answer) << "step " << i;
        EXPECT_EQ(ModuleEntry::OpenCount(), s.countAfter) << "step " << i;
        EXPECT_EQ(ModuleEntry::IsOpen(), s.openAfter) << "step " << i;
        EXPECT_EQ(ModuleEntry::Group() != nullptr, s.openAfter) << "step " << i;
        EXPECT_EQ(CEffectGroup::ModuleGroup() != nullptr, s.openAfter) << "step " << i;
        EXPECT_EQ(RegisteredFile(extension), s.openAfter ? "/plugins/Test.so.rsr" : "") << "step " << i;
        if (i < 5) {
            EXPECT_EQ(ModuleEntry::Group(), group) << "step " << i;  // nested opens keep the group
        }
    }
}

TEST(ModuleEntry, TheEntryPointRecordsWhetherItOpenedTheModule) {
    ClosedAfterwards closed;
    EXPECT_EQ(ModuleEntry::WinPlugInOpen(73), 0);
    EXPECT_TRUE(ModuleEntry::OpenedByEntry());
    EXPECT_EQ(ModuleEntry::WinPlugInOpen(72), -1);
    EXPECT_FALSE(ModuleEntry::OpenedByEntry());
    EXPECT_EQ(ModuleEntry::OpenCount(), 1);  // the refused open counted nothing
    EXPECT_EQ(ModuleEntry::WinPlugInClose(), 0);
    EXPECT_EQ(ModuleEntry::OpenCount(), 0);
}

TEST(ModuleEntry, AnOpenThatFailsLeavesNoGroupNoResourceFileAndItsCount) {
    ClosedAfterwards closed;
    HostLibraryLoaded extension(KESTROM_EXTENSION_STANDIN);
    ASSERT_NE(extension.handle, nullptr) << dlerror();
    extension.Get<void (*)()>("KsExtension_Reset")();
    ModuleEntry::Attach(nullptr, "/plugins/Broken.so");  // without an engine: opens, and succeeds
    ASSERT_EQ(ModuleEntry::ModuleClose(), 0);
    ASSERT_EQ(ModuleEntry::OpenCount(), 0);

    // Two types under one ID: the host library refuses the second.
    const int32_t ids[] = {kMonoType, kMonoType};
    PluginRegistration broken = DefaultRegistration();
    broken.typeIds = ids;
    ChangeRegistration(&broken);
    EXPECT_EQ(ModuleEntry::ModuleOpen(), static_cast<int16_t>(PI_ErrBadIndex));
    EXPECT_FALSE(ModuleEntry::IsOpen());
    EXPECT_EQ(ModuleEntry::Group(), nullptr);
    EXPECT_EQ(CEffectGroup::ModuleGroup(), nullptr);
    EXPECT_EQ(RegisteredFile(extension), "");
    EXPECT_EQ(ModuleEntry::OpenCount(), 1);  // the failed open still counts...
    EXPECT_EQ(ModuleEntry::ModuleClose(), 0);  // ...until its close, which tears nothing down
    EXPECT_EQ(ModuleEntry::OpenCount(), 0);

    ChangeRegistration(nullptr);
    EXPECT_EQ(ModuleEntry::ModuleOpen(), 0);
    EXPECT_TRUE(ModuleEntry::IsOpen());
    EXPECT_NE(ModuleEntry::Group(), nullptr);
    EXPECT_EQ(RegisteredFile(extension), "/plugins/Broken.so.rsr");
}

TEST(ModuleEntry, WithTheEnginesRegistrarTheEngineOpensAndTheUnloadClosesNothing) {
    ClosedAfterwards closed;
    HostLibraryLoaded engine(KESTROM_ENGINE_STANDIN);
    ASSERT_NE(engine.handle, nullptr) << dlerror();
    engine.Get<void (*)()>("KsEngine_Reset")();
    EXPECT_TRUE(ModuleEntry::Attach(nullptr, "/plugins/Test.so"));
    EXPECT_TRUE(ModuleEntry::HasRegistrar());
    EXPECT_EQ(ModuleEntry::OpenCount(), 0);  // the engine opens it
    EXPECT_EQ(engine.Get<int32_t (*)()>("KsEngine_HasModuleProcs")(), 1);
    EXPECT_EQ(engine.Get<int16_t (*)()>("KsEngine_OpenModule")(), 0);
    EXPECT_TRUE(ModuleEntry::IsOpen());
    ModuleEntry::Detach();  // the host closes through the engine, not the unload
    EXPECT_TRUE(ModuleEntry::IsOpen());
    EXPECT_EQ(engine.Get<int16_t (*)()>("KsEngine_CloseModule")(), 0);
    EXPECT_FALSE(ModuleEntry::IsOpen());
    EXPECT_EQ(ModuleEntry::OpenCount(), 0);
}

TEST(ModuleEntry, WithoutARegistrarTheLoadOpensAndTheUnloadCloses) {
    ClosedAfterwards closed;
    HostLibraryLoaded engine(KESTROM_ENGINE_STANDIN_NOREGISTRAR);
    ASSERT_NE(engine.handle, nullptr) << dlerror();
    EXPECT_TRUE(ModuleEntry::Attach(nullptr, "/plugins/Test.so"));
    EXPECT_FALSE(ModuleEntry::HasRegistrar());
    EXPECT_TRUE(ModuleEntry::IsOpen());
    EXPECT_EQ(ModuleEntry::OpenCount(), 1);
    ModuleEntry::Detach();
    EXPECT_FALSE(ModuleEntry::IsOpen());
    EXPECT_EQ(ModuleEntry::OpenCount(), 0);
    EXPECT_EQ(ModuleEntry::Group(), nullptr);
}

TEST(ModuleEntry, TheResourcePathIsTheModulePathCutTo255AndDotRsr) {
    ClosedAfterwards closed;
    const struct {
        std::string modulePath;
        std::string expectedModule;
    } cases[] = {
        {"/a/Kestrom.so", "/a/Kestrom.so"},
        {"", ""},
        {std::string(255, 'm'), std::string(255, 'm')},
        {std::string(256, 'n'), std::string(255, 'n')},
        {std::string(1000, 'p'), std::string(255, 'p')},
    };
    for (const auto& c : cases) {
        ModuleEntry::Attach(&closed, c.modulePath.c_str());  // opens at once: no engine here
        EXPECT_EQ(ModuleEntry::ModuleInstance(), &closed);
        EXPECT_EQ(std::string(ModuleEntry::ModulePath()), c.expectedModule);
        EXPECT_EQ(std::string(ModuleEntry::ResourcePath()), c.expectedModule + ".rsr");
        ModuleEntry::Detach();
        EXPECT_EQ(ModuleEntry::OpenCount(), 0);
    }
}

TEST(ModuleEntry, EffectsAreMadeOneAtATime) {
    TestPlug::ResetCounters();
    std::vector<std::thread> threads;
    std::vector<std::vector<IPlugRTAS*>> made(4);
    for (std::size_t t = 0; t < made.size(); ++t)
        threads.emplace_back([&made, t] {
            for (int i = 0; i < 4; ++i) made[t].push_back(ModuleEntry::MakePlugin());
        });
    for (std::thread& t : threads) t.join();
    std::set<IPlugRTAS*> distinct;
    for (const auto& list : made)
        for (IPlugRTAS* plug : list) {
            EXPECT_NE(plug, nullptr);
            distinct.insert(plug);
        }
    EXPECT_EQ(distinct.size(), 16u);
    EXPECT_EQ(TestPlug::MostAtOnce(), 1);
    for (IPlugRTAS* plug : distinct) delete plug;
}

TEST(HostEngine, PackedVersionsAreMajorTimesTenThenMinorTimesSixteen) {
    const struct {
        uint16_t version;
        int32_t packed;
    } cases[] = {
        {0x0A03, 409648}, {0x0000, 0}, {0x0001, 16}, {0x0100, 40960}, {0x0B01, 450576}, {0xFFFF, 10448880},
    };
    for (const auto& c : cases) EXPECT_EQ(HostEngine::PackVersion(c.version), c.packed) << std::hex << c.version;
}

}  // namespace
