// The resize token the host gets when the editor changes its size, from a
// process made directly against the engine stand-in, and the largest block
// the plug-in is sized for.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <memory>

#include "bridge/IPlugProcessRTAS.h"
#include "bridge/IPlugRTAS.h"
#include "standins/engine/EngineRoutines.h"
#include "tests/bridge/BridgeTestEffect.h"

namespace {

struct Engine {
    Engine() : handle(dlopen(KESTROM_ENGINE_STANDIN, RTLD_NOW | RTLD_GLOBAL)) {}
    ~Engine() {
        if (handle != nullptr) dlclose(handle);
    }
    template <typename F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
    void* handle;
};

uint32_t Word(const unsigned char* token, int offset) {
    uint32_t w;
    std::memcpy(&w, token + offset, 4);
    return w;
}

TEST(ResizeToken, AnEditorResizeSendsTheHostItsFortyByteToken) {
    Engine engine;
    ASSERT_NE(engine.handle, nullptr) << dlerror();
    engine.Get<void (*)()>("KsEngine_Reset")();
    engine.Get<void (*)(int32_t)>("KsEngine_SetMaximumQuantum")(300);
    std::unique_ptr<CEffectProcess> process(IPlugProcessRTAS::Create());
    ASSERT_NE(process, nullptr);
    auto* bridge = dynamic_cast<IPlugProcessRTAS*>(process.get());
    ASSERT_NE(bridge, nullptr);
    EXPECT_EQ(bridge->Plugin()->BlockSize(), 300);  // sized for the engine's largest block

    bridge->Plugin()->EditorResized(400, 300);
    ASSERT_EQ(engine.Get<int32_t (*)()>("KsEngine_TokenCount")(), 1);
    unsigned char token[KS_ENGINE_TOKEN_SIZE];
    std::memset(token, 0xAA, sizeof token);
    ASSERT_EQ(engine.Get<int32_t (*)(int32_t, void*)>("KsEngine_TokenAt")(0, token), 0);
    const auto id = static_cast<uint32_t>(process->Instance());
    const uint32_t expected[8] = {id, 0x53455456u, 0x574E5253u, 0x4447444Eu, 0x50726F63u, id, 0u, 0u};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Word(token, 4 * i), expected[i]) << "word " << i;
    int16_t kind = 0;
    std::memcpy(&kind, token + 36, 2);
    EXPECT_EQ(kind, 38);
}

}  // namespace
