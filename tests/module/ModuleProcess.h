#pragma once

// The module loaded by hand, the way the host application loads it: the
// host's engine library (with or without the open/close registrar) and its
// extension library first, globally, then the module itself, whose four
// exports and routine table are all a test may use. The stand-ins' own
// controls play the engine's part (opening and closing the module, answering
// its queries) and show what the module registered.
//
// Each TEST of the suite runs in a process of its own (CTest), so what one
// test loads, opens or leaves open never reaches another.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "hostlib/PluginRoutines.h"

namespace moduletest {

constexpr int32_t FourCC(const char (&s)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(s[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(s[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(s[3])));
}

constexpr int32_t kMono = FourCC("KsT1");
constexpr int32_t kStereo = FourCC("KsT2");
constexpr int32_t kChunkId = FourCC("KsT2");  // every instance's, whatever its type
constexpr int32_t kMakerId = FourCC("TbRk");
constexpr int32_t kBypassId = FourCC("bypa");
constexpr int32_t kFirstParamId = 0x206C6420;

// Control indices: the master bypass, then parameter i at i + 2.
constexpr int kBypass = 1;
constexpr int kIn = 2;
constexpr int kOut = 3;
constexpr int kDeep = 4;
constexpr int kRelaxed = 5;
constexpr int kDualMono = 6;
constexpr int kNegative = 7;
constexpr int kPower = 8;
constexpr int kControlCount = 8;
constexpr int kParamCount = 7;

constexpr int32_t kOff = INT32_MIN;  // a two-step control's bottom and top
constexpr int32_t kOn = INT32_MAX;

constexpr int kChunkHeaderBytes = 56;
constexpr int kChunkBytes = kChunkHeaderBytes + kParamCount * 8;

// One shared library, closed with the object (or earlier, by Close).
class Library {
public:
    Library() = default;
    Library(const std::string& path, int flags) : handle_(dlopen(path.c_str(), flags)) {
        if (handle_ == nullptr) {
            const char* text = dlerror();
            error_ = text != nullptr ? text : "dlopen failed";
        }
    }
    ~Library() { Close(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    const std::string& Error() const { return error_; }
    void Close() {
        if (handle_ != nullptr) dlclose(handle_);
        handle_ = nullptr;
    }
    template <typename F>
    F Get(const char* name) const {
        return handle_ != nullptr ? reinterpret_cast<F>(dlsym(handle_, name)) : nullptr;
    }

private:
    void* handle_ = nullptr;
    std::string error_;
};

enum class Engine { WithRegistrar, WithoutRegistrar };

// The host's process: its libraries, then the module.
class HostProcess {
public:
    explicit HostProcess(Engine engine = Engine::WithRegistrar)
        : engine_(engine == Engine::WithRegistrar ? KESTROM_ENGINE_STANDIN : KESTROM_ENGINE_STANDIN_NOREGISTRAR,
                  RTLD_NOW | RTLD_GLOBAL),
          extension_(KESTROM_EXTENSION_STANDIN, RTLD_NOW | RTLD_GLOBAL) {
        EXPECT_TRUE(engine_.IsLoaded()) << engine_.Error();
        EXPECT_TRUE(extension_.IsLoaded()) << extension_.Error();
        if (auto reset = engine_.Get<void (*)()>("KsEngine_Reset")) reset();
        if (auto reset = extension_.Get<void (*)()>("KsExtension_Reset")) reset();
    }
    ~HostProcess() { UnloadModule(); }
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // Loads the module and fetches its exports; with the registrar the module
    // is not open yet (the engine opens it: EngineOpen), without it it is.
    bool LoadModule() {
        module_ = std::make_unique<Library>(KESTROM_MODULE, RTLD_NOW | RTLD_LOCAL);
        EXPECT_TRUE(module_->IsLoaded()) << module_->Error();
        newPlugIn = module_->Get<PI_NewPlugInProc>("NewPlugIn");
        describe = module_->Get<PI_GetRoutineDescriptorProc>("_PI_GetRoutineDescriptor");
        winOpen = module_->Get<PI_WinPlugInOpenProc>("WinPlugInOpen");
        winClose = module_->Get<PI_WinPlugInCloseProc>("WinPlugInClose");
        return module_->IsLoaded() && newPlugIn && describe && winOpen && winClose;
    }
    // Loads the module and has the engine open it, as a host does.
    bool LoadAndOpen() {
        if (!LoadModule()) return false;
        if (HasModuleProcs() && EngineOpen() != 0) return false;
        return IsOpen();
    }
    // Closes what this host opened and is still open, as a host does before
    // it unloads a module (with a registrar the module does not close itself
    // at unload), then unloads it.
    void UnloadModule() {
        while (engineOpens_ > 0) EngineClose();
        while (entryOpens_ > 0) EntryClose();
        if (module_) module_->Close();
        newPlugIn = nullptr;
        describe = nullptr;
        winOpen = nullptr;
        winClose = nullptr;
    }

    // The routine of `selector`, typed; null (and a failure) when there is none.
    template <typename F>
    F Routine(uint32_t selector) const {
        void* routine = nullptr;
        if (describe == nullptr || describe(selector, &routine) != PI_NoErr || routine == nullptr) {
            ADD_FAILURE() << "no routine for selector " << selector;
            return nullptr;
        }
        return reinterpret_cast<F>(routine);
    }

    // Whether the routines find an open module.
    bool IsOpen() const {
        PI_GroupInfo info{};
        return Routine<PI_GroupInfoProc>(PI_SEL_GROUP_INFO)(&info) == PI_NoErr;
    }

    // ---- The engine's part ----------------------------------------------------
    bool HasModuleProcs() const { return engine_.Get<int32_t (*)()>("KsEngine_HasModuleProcs")() != 0; }
    // The engine opening and closing the module through the routines it was
    // handed; -1 when it was handed none.
    int16_t EngineOpen() {
        const int16_t status = engine_.Get<int16_t (*)()>("KsEngine_OpenModule")();
        if (status == 0) ++engineOpens_;
        return status;
    }
    int16_t EngineClose() {
        const int16_t status = engine_.Get<int16_t (*)()>("KsEngine_CloseModule")();
        if (status == 0 && engineOpens_ > 0) --engineOpens_;
        return status;
    }
    // The host opening and closing the module through its entry points.
    int32_t EntryOpen(int32_t version) {
        const int32_t status = winOpen(version);
        if (status == 0) ++entryOpens_;
        return status;
    }
    int32_t EntryClose() {
        const int32_t status = winClose();
        if (status == 0 && entryOpens_ > 0) --entryOpens_;
        return status;
    }
    void SetVqta(int32_t answer) const { engine_.Get<void (*)(int32_t)>("KsEngine_SetVqta")(answer); }
    void SetMaximumQuantum(int32_t frames) const {
        engine_.Get<void (*)(int32_t)>("KsEngine_SetMaximumQuantum")(frames);
    }
    void SetVersion(uint16_t version) const { engine_.Get<void (*)(uint16_t)>("KsEngine_SetVersion")(version); }

    // ---- The extension library's part ---------------------------------------
    // The registered resource file, or "" when none is.
    std::string RegisteredFile() const {
        char path[1024] = {};
        const auto registered = extension_.Get<int32_t (*)(char*, int32_t)>("KsExtension_RegisteredFile");
        return registered(path, sizeof path) != 0 ? std::string(path) : std::string();
    }
    int32_t CallSwapHook(int32_t type, void* data) const {
        return extension_.Get<int32_t (*)(int32_t, void*)>("KsExtension_CallSwapHook")(type, data);
    }

    PI_NewPlugInProc newPlugIn = nullptr;
    PI_GetRoutineDescriptorProc describe = nullptr;
    PI_WinPlugInOpenProc winOpen = nullptr;
    PI_WinPlugInCloseProc winClose = nullptr;

private:
    Library engine_;
    Library extension_;
    std::unique_ptr<Library> module_;
    int engineOpens_ = 0;  // opens this host made and has not closed yet
    int entryOpens_ = 0;
};

// One instance, driven through the routine table: created for a type and
// initialised at a sample rate, destroyed with the object.
class Instance {
public:
    Instance(const HostProcess& host, int32_t typeId, int32_t sampleRate = 48000) : host_(host) {
        status = host_.Routine<PI_CreateInstanceProc>(PI_SEL_CREATE_INSTANCE)(typeId, &handle);
        if (status != PI_NoErr) return;
        const PI_InstanceSetup setup{sampleRate};
        status = host_.Routine<PI_InitializeInstanceProc>(PI_SEL_INITIALIZE_INSTANCE)(handle, &setup);
        if (status != PI_NoErr) return;
        status = host_.Routine<PI_InstanceGetTwoIntsProc>(PI_SEL_GET_CHANNEL_COUNTS)(handle, &inputs, &outputs);
    }
    ~Instance() {
        if (handle != 0) host_.Routine<PI_InstanceProc>(PI_SEL_DESTROY_INSTANCE)(handle);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool Ok() const { return status == PI_NoErr && handle != 0; }

    template <typename F>
    F Routine(uint32_t selector) const {
        return host_.Routine<F>(selector);
    }

    // ---- Controls -------------------------------------------------------------
    int32_t Value(int control) const {
        int32_t value = 0;
        EXPECT_EQ(Routine<PI_ControlGetIntProc>(PI_SEL_GET_CONTROL_VALUE)(handle, control, &value), PI_NoErr);
        return value;
    }
    PI_Status Set(int control, int32_t value) const {
        return Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE)(handle, control, value);
    }
    int32_t FromNumber(int control, double number) const {
        int32_t value = 0;
        EXPECT_EQ(Routine<PI_ControlFromNumberProc>(PI_SEL_CONTROL_FROM_NUMBER)(handle, control, number, &value),
                  PI_NoErr);
        return value;
    }
    double ToNumber(int control, int32_t value) const {
        double number = 0.0;
        EXPECT_EQ(Routine<PI_ControlToNumberProc>(PI_SEL_CONTROL_TO_NUMBER)(handle, control, value, &number),
                  PI_NoErr);
        return number;
    }
    // The control's current value in its own units.
    double Number(int control) const { return ToNumber(control, Value(control)); }
    // Sets a control from a number in its units, as a host's own control does.
    void SetNumber(int control, double number) const {
        EXPECT_EQ(Set(control, FromNumber(control, number)), PI_NoErr);
    }
    PI_Status SetBypass(bool on) const {
        return Routine<PI_InstanceSetIntProc>(PI_SEL_SET_BYPASS)(handle, on ? 1 : 0);
    }

    // ---- State ----------------------------------------------------------------
    std::vector<unsigned char> Chunk() const {
        int32_t size = 0;
        EXPECT_EQ(Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(handle, kChunkId, &size), PI_NoErr);
        std::vector<unsigned char> chunk(static_cast<std::size_t>(size > 0 ? size : 0));
        EXPECT_EQ(Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK)(handle, kChunkId, chunk.data(), size), PI_NoErr);
        return chunk;
    }
    PI_Status Restore(const std::vector<unsigned char>& chunk, int32_t id = kChunkId) const {
        return Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK)(handle, id, chunk.data(),
                                                          static_cast<int32_t>(chunk.size()));
    }
    // Whether `chunk` holds the current state (-1 when the comparison failed).
    int Matches(const std::vector<unsigned char>& chunk) const {
        int32_t equal = -1;
        const PI_Status status = Routine<PI_CompareChunkProc>(PI_SEL_COMPARE_CHUNK)(
            handle, chunk.data(), static_cast<int32_t>(chunk.size()), &equal);
        return status == PI_NoErr ? equal : -1;
    }
    int32_t StateChanges() const {
        int32_t count = -1;
        EXPECT_EQ(Routine<PI_InstanceGetIntProc>(PI_SEL_STATE_CHANGE_COUNT)(handle, &count), PI_NoErr);
        return count;
    }

    // ---- Audio ----------------------------------------------------------------
    PI_Status Render(const float* const* in, float* const* out, int32_t frames) const {
        float* outputs[8] = {};
        for (int c = 0; c < this->outputs && c < 8; ++c) outputs[c] = out[c];
        const PI_RenderRecord record{in, inputs, outputs, this->outputs, frames, 1, nullptr};
        return Routine<PI_RenderProc>(PI_SEL_RENDER)(handle, &record);
    }
    int32_t MaxBlock() const {
        int32_t frames = 0;
        EXPECT_EQ(Routine<PI_InstanceGetIntProc>(PI_SEL_MAX_BLOCK_SIZE)(handle, &frames), PI_NoErr);
        return frames;
    }
    // The gain-reduction meter: its value and how many values it was handed.
    std::pair<double, uint32_t> Meter() const {
        double value = -1.0;
        uint32_t updates = 0;
        EXPECT_EQ(Routine<PI_MeterValueProc>(PI_SEL_METER_VALUE)(handle, 0, &value, &updates), PI_NoErr);
        return {value, updates};
    }

    PI_Instance handle = 0;
    PI_Status status = PI_ErrInternal;
    int32_t inputs = 0;
    int32_t outputs = 0;

private:
    const HostProcess& host_;
};

// The parameter values a chunk holds (the doubles after its header).
inline std::vector<double> StateValues(const std::vector<unsigned char>& chunk) {
    std::vector<double> values;
    for (std::size_t offset = kChunkHeaderBytes; offset + 8 <= chunk.size(); offset += 8) {
        double v;
        std::memcpy(&v, chunk.data() + offset, 8);
        values.push_back(v);
    }
    return values;
}

inline int32_t ReadInt32(const std::vector<unsigned char>& bytes, std::size_t offset) {
    int32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}
inline void WriteInt32(std::vector<unsigned char>& bytes, std::size_t offset, int32_t v) {
    std::memcpy(bytes.data() + offset, &v, 4);
}
inline void WriteDouble(std::vector<unsigned char>& bytes, std::size_t offset, double v) {
    std::memcpy(bytes.data() + offset, &v, 8);
}

// Test music: a pseudo-random mix of low and high tones and noise, soft for
// the first third and loud after, different per channel; the same for the
// same arguments.
inline std::vector<float> Music(int frames, int channel, uint32_t seed = 1) {
    std::vector<float> out(static_cast<std::size_t>(frames));
    uint32_t state = seed * 2654435761u + static_cast<uint32_t>(channel) * 40503u + 1u;
    for (int i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = static_cast<double>(state >> 8) / 16777216.0 - 0.5;
        const double t = static_cast<double>(i) / 48000.0;
        const double tones = std::sin(2.0 * 3.14159265358979 * (110.0 + 30.0 * channel) * t) +
                             0.5 * std::sin(2.0 * 3.14159265358979 * 1750.0 * t);
        const double level = i < frames / 3 ? 0.05 : 0.7;
        out[static_cast<std::size_t>(i)] = static_cast<float>(level * (0.6 * tones + 0.4 * noise));
    }
    return out;
}

}  // namespace moduletest
