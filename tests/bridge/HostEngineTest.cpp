// The bridge's view of the host's engine and extension libraries, against
// the stand-ins loaded the way a host has them loaded. Each test runs in a
// process of its own (CTest), so a test that loads no library sees none.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

#include "bridge/HostEngine.h"
#include "bridge/HostExtension.h"
#include "standins/engine/EngineStandIn.h"
#include "standins/extension/ExtensionStandIn.h"

namespace {

// Loads a stand-in by path, as the host does before it loads a module, and
// looks up its controls.
struct Loaded {
    explicit Loaded(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_GLOBAL)) {}
    ~Loaded() {
        if (handle != nullptr) dlclose(handle);
    }
    template <typename F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
    void* handle;
};

TEST(HostEngine, WithoutAnEngineEveryQueryFallsBack) {
    EXPECT_EQ(HostEngine::Registrar(), nullptr);
    EXPECT_EQ(HostEngine::MaxBlockSize(), HostEngine::kFallbackBlockFrames);
    EXPECT_EQ(HostEngine::Version(), 0);
    const unsigned char token[KS_ENGINE_TOKEN_SIZE] = {};
    EXPECT_FALSE(HostEngine::DispatchToken(token));
    EXPECT_EQ(HostExtension::PortToWindow(7), nullptr);
    EXPECT_FALSE(HostExtension::RegisterResourceFile("x.rsr", nullptr));
}

TEST(HostEngine, LargestBlockFollowsTheEnginesAnswers) {
    Loaded engine(KESTROM_ENGINE_STANDIN);
    ASSERT_NE(engine.handle, nullptr) << dlerror();
    auto setVqta = engine.Get<void (*)(int32_t)>("KsEngine_SetVqta");
    auto setQuantum = engine.Get<void (*)(int32_t)>("KsEngine_SetMaximumQuantum");
    engine.Get<void (*)()>("KsEngine_Reset")();
    const struct {
        int32_t vqta, quantum;
        int expected;
    } cases[] = {
        {1, 1024, 1024}, {1, 512, 512}, {0, 1024, 32}, {1, 0, 32}, {1, -5, 32}, {7, 64, 64},
        {1, 1 << 30, HostEngine::kMaxBlockFrames}, {1, 1 << 20, 1 << 20},
    };
    for (const auto& c : cases) {
        setVqta(c.vqta);
        setQuantum(c.quantum);
        EXPECT_EQ(HostEngine::MaxBlockSize(), c.expected) << c.vqta << " " << c.quantum;
    }
}

TEST(HostEngine, VersionTokensAndRegistrarReachTheEngine) {
    Loaded engine(KESTROM_ENGINE_STANDIN);
    ASSERT_NE(engine.handle, nullptr) << dlerror();
    engine.Get<void (*)()>("KsEngine_Reset")();
    engine.Get<void (*)(uint16_t)>("KsEngine_SetVersion")(0x0A03);
    EXPECT_EQ(HostEngine::Version(), 0x0A03);
    EXPECT_EQ(HostEngine::PackedVersion(), 409648);  // (0x0A00 * 10 + 3) * 16
    EXPECT_EQ(HostEngine::PackVersion(0), 0);

    unsigned char token[KS_ENGINE_TOKEN_SIZE];
    for (int i = 0; i < KS_ENGINE_TOKEN_SIZE; ++i) token[i] = static_cast<unsigned char>(i);
    EXPECT_TRUE(HostEngine::DispatchToken(token));
    EXPECT_EQ(engine.Get<int32_t (*)()>("KsEngine_TokenCount")(), 1);
    unsigned char back[KS_ENGINE_TOKEN_SIZE] = {};
    EXPECT_EQ(engine.Get<int32_t (*)(int32_t, void*)>("KsEngine_TokenAt")(0, back), 0);
    EXPECT_EQ(std::memcmp(back, token, sizeof token), 0);

    int client = 0;
    HostEngine::UnregisterMidiClient(&client);
    HostEngine::UnregisterMidiClient(nullptr);
    EXPECT_EQ(engine.Get<int32_t (*)()>("KsEngine_ReleasedMidiClients")(), 1);

    EXPECT_NE(HostEngine::Registrar(), nullptr);
}

TEST(HostEngine, AnEngineWithoutTheRegistrarOffersNone) {
    Loaded engine(KESTROM_ENGINE_STANDIN_NOREGISTRAR);
    ASSERT_NE(engine.handle, nullptr) << dlerror();
    EXPECT_EQ(HostEngine::Registrar(), nullptr);
    EXPECT_EQ(HostEngine::MaxBlockSize(), 1024);  // everything else is there
}

TEST(HostExtension, ResourceFileAndPortsReachTheExtensionLibrary) {
    Loaded extension(KESTROM_EXTENSION_STANDIN);
    ASSERT_NE(extension.handle, nullptr) << dlerror();
    extension.Get<void (*)()>("KsExtension_Reset")();
    const auto hook = [](int32_t, int32_t type, int32_t, void*) -> int32_t { return type == 42 ? 1 : 0; };
    EXPECT_TRUE(HostExtension::RegisterResourceFile("/m/Kestrom.so.rsr", hook));
    char path[64];
    EXPECT_EQ(extension.Get<int32_t (*)(char*, int32_t)>("KsExtension_RegisteredFile")(path, sizeof path), 1);
    EXPECT_STREQ(path, "/m/Kestrom.so.rsr");
    EXPECT_EQ(extension.Get<int32_t (*)(int32_t, void*)>("KsExtension_CallSwapHook")(42, nullptr), 1);

    const int32_t outer = HostExtension::UseModuleResources();
    const int32_t inner = HostExtension::UseModuleResources();
    auto depth = extension.Get<int32_t (*)()>("KsExtension_UseDepth");
    EXPECT_EQ(depth(), 2);
    HostExtension::RestoreResources(inner);
    EXPECT_EQ(depth(), 1);
    HostExtension::RestoreResources(outer);
    EXPECT_EQ(depth(), 0);

    int window = 0;
    extension.Get<void (*)(intptr_t, void*)>("KsExtension_BindPort")(5, &window);
    EXPECT_EQ(HostExtension::PortToWindow(5), &window);
    EXPECT_EQ(HostExtension::PortToWindow(6), nullptr);

    HostExtension::UnregisterResourceFile("/m/Kestrom.so.rsr");
    EXPECT_EQ(extension.Get<int32_t (*)(char*, int32_t)>("KsExtension_RegisteredFile")(path, sizeof path), 0);
}

}  // namespace
