// Saved state through the chunk routines: the chunk's header and values, a
// state saved, changed and restored coming back exactly (controls, compare,
// the bytes of a second save), chunks of another ID and malformed chunks
// refused without changing anything, stored values that are no numbers, and
// the state-change counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/module/ModuleProcess.h"

namespace {

using namespace moduletest;

class ModuleChunks : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.LoadAndOpen());
        plug = std::make_unique<Instance>(host, GetParam());
        ASSERT_TRUE(plug->Ok()) << plug->status;
    }
    void TearDown() override { plug.reset(); }

    // Everything a failed request must leave as it was.
    struct Snapshot {
        std::vector<unsigned char> chunk;
        std::vector<int32_t> controls;
        int32_t stateChanges;
        bool operator==(const Snapshot& o) const {
            return chunk == o.chunk && controls == o.controls && stateChanges == o.stateChanges;
        }
    };
    Snapshot Take() const {
        Snapshot s{plug->Chunk(), {}, plug->StateChanges()};
        for (int c = 1; c <= kControlCount; ++c) s.controls.push_back(plug->Value(c));
        return s;
    }
    // Sets every parameter control from numbers in the controls' units.
    void SetAll(const std::vector<double>& numbers) const {
        for (int i = 0; i < kParamCount; ++i) plug->SetNumber(i + 2, numbers[static_cast<std::size_t>(i)]);
    }
    PI_Status SetRaw(const void* chunk, int32_t size, int32_t id = kChunkId) const {
        return plug->Routine<PI_SetChunkProc>(PI_SEL_SET_CHUNK)(plug->handle, id, chunk, size);
    }
    PI_Status CompareRaw(const void* chunk, int32_t size, int32_t* equal) const {
        return plug->Routine<PI_CompareChunkProc>(PI_SEL_COMPARE_CHUNK)(plug->handle, chunk, size, equal);
    }

    HostProcess host;
    std::unique_ptr<Instance> plug;
};

INSTANTIATE_TEST_SUITE_P(BothTypes, ModuleChunks, ::testing::Values(kMono, kStereo),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return info.param == kMono ? std::string("Mono") : std::string("Stereo");
                         });

TEST_P(ModuleChunks, TheChunkIsTheHostsHeaderAndOneValuePerParameter) {
    int32_t size = 0;
    ASSERT_EQ(plug->Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(plug->handle, kChunkId, &size), PI_NoErr);
    EXPECT_EQ(size, kChunkBytes);
    const std::vector<unsigned char> chunk = plug->Chunk();
    ASSERT_EQ(chunk.size(), static_cast<std::size_t>(kChunkBytes));
    EXPECT_EQ(ReadInt32(chunk, 0), kChunkBytes);
    EXPECT_EQ(ReadInt32(chunk, 4), 1);
    EXPECT_EQ(ReadInt32(chunk, 8), kMakerId);
    EXPECT_EQ(ReadInt32(chunk, 12), kStereo);  // the product
    EXPECT_EQ(ReadInt32(chunk, 16), GetParam());  // the instance's type
    EXPECT_EQ(ReadInt32(chunk, 20), kChunkId);
    std::string name(reinterpret_cast<const char*>(chunk.data()) + 24, 32);
    EXPECT_EQ(name, std::string("Kestrom") + std::string(25, '\0'));
    // The defaults: knobs at 0 dB, switches off, Power on.
    EXPECT_EQ(StateValues(chunk), (std::vector<double>{0, 0, 0, 0, 0, 0, 1}));
}

TEST_P(ModuleChunks, GettingAChunkWritesAllOfItOrNothing) {
    const auto get = plug->Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK);
    std::vector<unsigned char> buffer(200, 0xAB);
    EXPECT_EQ(get(plug->handle, kChunkId, buffer.data(), kChunkBytes - 1), PI_ErrBufferTooSmall);
    EXPECT_EQ(buffer, std::vector<unsigned char>(200, 0xAB));
    EXPECT_EQ(get(plug->handle, kStereo + 1, buffer.data(), 200), PI_ErrBadChunkId);
    EXPECT_EQ(get(plug->handle, kMono, buffer.data(), 200), PI_ErrBadChunkId);
    EXPECT_EQ(buffer, std::vector<unsigned char>(200, 0xAB));
    EXPECT_EQ(get(plug->handle, kChunkId, nullptr, 200), PI_ErrNullPointer);

    EXPECT_EQ(get(plug->handle, kChunkId, buffer.data(), 200), PI_NoErr);
    EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + kChunkBytes), plug->Chunk());
    EXPECT_EQ(std::vector<unsigned char>(buffer.begin() + kChunkBytes, buffer.end()),
              std::vector<unsigned char>(200 - kChunkBytes, 0xAB));

    int32_t size = -5;
    EXPECT_EQ(plug->Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(plug->handle, kMono, &size), PI_ErrBadChunkId);
    EXPECT_EQ(size, -5);
}

TEST_P(ModuleChunks, ASavedStateRestoresExactly) {
    const std::vector<std::vector<double>> settings = {
        {7.3, -2.5, 1, 0, 1, 0, 1},
        {-20, 20, 0, 1, 0, 1, 0},
        {13.37, 0.05, 1, 1, 1, 1, 1},
        {0, 0, 0, 0, 0, 0, 1},
    };
    const std::vector<double> other = {-11.1, 4.4, 0, 1, 1, 0, 0};
    for (const auto& setting : settings) {
        SCOPED_TRACE(setting[0]);
        SetAll(setting);
        const std::vector<unsigned char> saved = plug->Chunk();
        std::vector<int32_t> controls;
        for (int c = 1; c <= kControlCount; ++c) controls.push_back(plug->Value(c));
        for (int i = 0; i < kParamCount; ++i)
            EXPECT_NEAR(StateValues(saved)[static_cast<std::size_t>(i)], setting[static_cast<std::size_t>(i)], 1e-8);

        SetAll(other);
        const std::vector<unsigned char> changed = plug->Chunk();
        EXPECT_EQ(plug->Matches(saved), 0);
        EXPECT_EQ(plug->Matches(changed), 1);

        ASSERT_EQ(plug->Restore(saved), PI_NoErr);
        for (int c = 1; c <= kControlCount; ++c)
            EXPECT_EQ(plug->Value(c), controls[static_cast<std::size_t>(c - 1)]) << "control " << c;
        for (int i = 0; i < kParamCount; ++i)
            EXPECT_EQ(plug->Number(i + 2), StateValues(saved)[static_cast<std::size_t>(i)]) << "control " << i + 2;
        EXPECT_EQ(plug->Matches(saved), 1);
        EXPECT_EQ(plug->Matches(changed), 0);
        EXPECT_EQ(plug->Chunk(), saved);  // saved again, the same bytes
    }
}

TEST_P(ModuleChunks, AStateMovesBetweenInstancesOfEitherType) {
    SetAll({5.5, -6.6, 0, 1, 0, 1, 1});
    const std::vector<unsigned char> saved = plug->Chunk();
    for (int32_t type : {kMono, kStereo}) {
        Instance other(host, type);
        ASSERT_TRUE(other.Ok());
        EXPECT_EQ(other.Matches(saved), 0);
        ASSERT_EQ(other.Restore(saved), PI_NoErr);
        EXPECT_EQ(other.Matches(saved), 1);
        for (int c = 1; c <= kControlCount; ++c) EXPECT_EQ(other.Value(c), plug->Value(c)) << c;
        std::vector<unsigned char> again = other.Chunk();
        EXPECT_EQ(ReadInt32(again, 16), type);  // the header names the saving instance's type...
        WriteInt32(again, 16, GetParam());
        EXPECT_EQ(again, saved);  // ...and the rest is the same
    }
}

TEST_P(ModuleChunks, AChunkOfAnotherIdIsRefusedAndChangesNothing) {
    SetAll({3, 4, 1, 0, 0, 1, 1});
    const std::vector<unsigned char> good = plug->Chunk();
    SetAll({-3, -4, 0, 1, 1, 0, 0});
    const Snapshot before = Take();

    EXPECT_EQ(plug->Restore(good, kMono), PI_ErrBadChunkId);  // the host asks for another ID
    EXPECT_EQ(plug->Restore(good, FourCC("XXXX")), PI_ErrBadChunkId);
    std::vector<unsigned char> foreign = good;
    for (int32_t id : {kMono, FourCC("XXXX"), 0}) {
        WriteInt32(foreign, 20, id);  // the chunk says another ID
        EXPECT_EQ(plug->Restore(foreign), PI_ErrBadChunkId) << id;
        int32_t equal = -5;
        EXPECT_EQ(CompareRaw(foreign.data(), static_cast<int32_t>(foreign.size()), &equal), PI_ErrBadChunkId) << id;
        EXPECT_EQ(equal, -5);
    }
    EXPECT_TRUE(Take() == before);
}

TEST_P(ModuleChunks, MalformedChunksAreRefusedAndChangeNothing) {
    SetAll({3, 4, 1, 0, 0, 1, 1});
    const std::vector<unsigned char> good = plug->Chunk();
    SetAll({-3, -4, 0, 1, 1, 0, 0});
    const Snapshot before = Take();

    const struct {
        const char* what;
        int32_t sizeField;
        int32_t handed;  // bytes handed over (the buffer holds at least that many)
        PI_Status setStatus;
        PI_Status compareStatus;
        int32_t equal;  // what compare answers when it answers
    } cases[] = {
        {"size field below the header", 55, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"size field zero", 0, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"size field negative", -1, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"size field most negative", INT32_MIN, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"size field past what was handed over", kChunkBytes + 8, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"size field huge", INT32_MAX, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"a part of a value", kChunkBytes + 1, kChunkBytes + 1, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"a value cut short", kChunkBytes - 1, kChunkBytes, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"handed over less than a header", kChunkBytes, 55, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"handed over nothing", kChunkBytes, 0, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"handed over a negative size", kChunkBytes, -8, PI_ErrBadChunk, PI_ErrBadChunk, -5},
        {"a value missing", kChunkBytes - 8, kChunkBytes, PI_ErrBadChunk, PI_NoErr, 0},
        {"a value too many", kChunkBytes + 8, kChunkBytes + 8, PI_ErrBadChunk, PI_NoErr, 0},
        {"the header alone", 56, 56, PI_ErrBadChunk, PI_NoErr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // The bytes live in a buffer of exactly the size handed over (at least
        // the size field's), so a read past it is caught.
        std::vector<unsigned char> bytes(static_cast<std::size_t>(c.handed > 4 ? c.handed : 4), 0);
        std::memcpy(bytes.data(), good.data(), std::min(bytes.size(), good.size()));
        WriteInt32(bytes, 0, c.sizeField);
        EXPECT_EQ(SetRaw(bytes.data(), c.handed), c.setStatus);
        int32_t equal = -5;
        EXPECT_EQ(CompareRaw(bytes.data(), c.handed, &equal), c.compareStatus);
        EXPECT_EQ(equal, c.equal);
        EXPECT_TRUE(Take() == before);
    }
    EXPECT_EQ(SetRaw(nullptr, kChunkBytes), PI_ErrNullPointer);
    int32_t equal = -5;
    EXPECT_EQ(CompareRaw(good.data(), kChunkBytes, nullptr), PI_ErrNullPointer);
    EXPECT_EQ(CompareRaw(nullptr, kChunkBytes, &equal), PI_ErrNullPointer);
    EXPECT_TRUE(Take() == before);

    // The same bytes, well formed, do restore.
    EXPECT_EQ(plug->Restore(good), PI_NoErr);
    EXPECT_EQ(plug->Matches(good), 1);
}

TEST_P(ModuleChunks, BytesPastTheSizeFieldAndAnyAlignmentAreFine) {
    SetAll({1.5, 2.5, 1, 1, 0, 0, 1});
    const std::vector<unsigned char> good = plug->Chunk();
    SetAll({0, 0, 0, 0, 0, 0, 1});
    for (std::size_t offset : {1, 3, 5, 7}) {
        SCOPED_TRACE(offset);
        std::vector<unsigned char> buffer(offset + good.size() + 40, 0x5A);  // trailing bytes
        std::memcpy(buffer.data() + offset, good.data(), good.size());
        EXPECT_EQ(SetRaw(buffer.data() + offset, static_cast<int32_t>(buffer.size() - offset)), PI_NoErr);
        int32_t equal = -5;
        EXPECT_EQ(CompareRaw(buffer.data() + offset, static_cast<int32_t>(buffer.size() - offset), &equal), PI_NoErr);
        EXPECT_EQ(equal, 1);
        std::vector<unsigned char> out(offset + good.size(), 0);
        EXPECT_EQ(plug->Routine<PI_GetChunkProc>(PI_SEL_GET_CHUNK)(plug->handle, kChunkId, out.data() + offset,
                                                                    static_cast<int32_t>(good.size())),
                  PI_NoErr);
        EXPECT_EQ(std::vector<unsigned char>(out.begin() + static_cast<long>(offset), out.end()), good);
        SetAll({0, 0, 0, 0, 0, 0, 1});
    }
}

TEST_P(ModuleChunks, StoredValuesThatAreNoNumbersOrOutOfRangeRestoreIntoTheRanges) {
    std::vector<unsigned char> chunk = plug->Chunk();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double stored[kParamCount] = {inf, -inf, nan, 1e300, -5.0, nan, nan};
    // In and Out are held to -20..20; a NaN reads as 0; the switches to 0..1.
    const double restored[kParamCount] = {20, -20, 0, 1, 0, 0, 0};
    for (int i = 0; i < kParamCount; ++i) WriteDouble(chunk, 56 + 8 * static_cast<std::size_t>(i), stored[i]);
    ASSERT_EQ(plug->Restore(chunk), PI_NoErr);
    EXPECT_EQ(StateValues(plug->Chunk()), std::vector<double>(restored, restored + kParamCount));
    for (int i = 0; i < kParamCount; ++i) EXPECT_EQ(plug->Number(i + 2), restored[i]) << i;

    // And it renders sound, not NaNs (Power is off here: switch it on).
    plug->SetNumber(kPower, 1);
    const std::vector<float> left = Music(512, 0), right = Music(512, 1);
    std::vector<float> outL(512), outR(512);
    const float* in[] = {left.data(), right.data()};
    float* out[] = {outL.data(), outR.data()};
    ASSERT_EQ(plug->Render(in, out, 512), PI_NoErr);
    for (int c = 0; c < plug->outputs; ++c)
        for (float v : (c == 0 ? outL : outR)) ASSERT_TRUE(std::isfinite(v));
}

// How a host answers the values a restore reports: not connected at all,
// echoing each through PI_SetControlValue, or connected and silent (it shows
// the value and sets nothing back).
enum class Reporting { kNone, kEcho, kSilent };

struct ReportingHost {
    PI_ControlSetIntProc setControl = nullptr;
    bool echo = false;
    static PI_HostCallbacks Callbacks(ReportingHost* self) {
        PI_HostCallbacks callbacks{};
        callbacks.context = self;
        callbacks.setControlValue = [](void* context, PI_Instance instance, int32_t control, int32_t value) {
            auto* host = static_cast<ReportingHost*>(context);
            if (host->echo) {
                EXPECT_EQ(host->setControl(instance, control, value), PI_NoErr);
            }
        };
        return callbacks;
    }
};

TEST_P(ModuleChunks, AStoredSwitchBetweenOffAndOnRestoresAsItsControlShowsIt) {
    // Switches saved by the plug-in hold 0 or 1; a state from elsewhere may
    // hold anything in between. The control shows the value truncated, and the
    // switch must then be what the host shows - in the state and in the sound -
    // at once, whether or not the host answers the reported values.
    const std::vector<unsigned char> defaults = plug->Chunk();
    std::vector<unsigned char> chunk = defaults;
    const double stored[kParamCount] = {6.5, -2.5, 0.5, 0.25, 0.999, 1e-300, 0.75};
    for (int i = 0; i < kParamCount; ++i) WriteDouble(chunk, 56 + 8 * static_cast<std::size_t>(i), stored[i]);
    std::vector<unsigned char> off = chunk;
    for (int i = 2; i < kParamCount; ++i) WriteDouble(off, 56 + 8 * static_cast<std::size_t>(i), 0.0);

    for (const Reporting reporting : {Reporting::kNone, Reporting::kEcho, Reporting::kSilent}) {
        SCOPED_TRACE(reporting == Reporting::kNone ? "no callbacks"
                                                   : reporting == Reporting::kEcho ? "echoing host" : "silent host");
        Instance restored(host, GetParam());
        ASSERT_TRUE(restored.Ok());
        ReportingHost reporter{restored.Routine<PI_ControlSetIntProc>(PI_SEL_SET_CONTROL_VALUE),
                               reporting == Reporting::kEcho};
        const PI_HostCallbacks callbacks = ReportingHost::Callbacks(&reporter);
        if (reporting != Reporting::kNone) {
            ASSERT_EQ(restored.Routine<PI_SetHostCallbacksProc>(PI_SEL_SET_HOST_CALLBACKS)(restored.handle, &callbacks),
                      PI_NoErr);
        }
        ASSERT_EQ(restored.Restore(chunk), PI_NoErr);
        for (int c = kDeep; c <= kPower; ++c) EXPECT_EQ(restored.Value(c), kOff) << c;
        const std::vector<unsigned char> saved = restored.Chunk();
        const std::vector<double> state = StateValues(saved);
        EXPECT_EQ(state[0], 6.5);  // knobs keep their exact value
        EXPECT_EQ(state[1], -2.5);
        for (int i = 2; i < kParamCount; ++i) EXPECT_EQ(state[static_cast<std::size_t>(i)], 0.0) << i;
        EXPECT_EQ(saved, off);
        // Save, restore, save again: the same bytes.
        ASSERT_EQ(restored.Restore(saved), PI_NoErr);
        EXPECT_EQ(restored.Chunk(), saved);

        // It sounds like an instance whose switches are all off.
        Instance shown(host, GetParam());
        ASSERT_TRUE(shown.Ok());
        ASSERT_EQ(shown.Restore(off), PI_NoErr);
        const std::vector<float> left = Music(1024, 0), right = Music(1024, 1);
        std::vector<float> a0(1024), a1(1024), b0(1024), b1(1024);
        const float* in[] = {left.data(), right.data()};
        float* outA[] = {a0.data(), a1.data()};
        float* outB[] = {b0.data(), b1.data()};
        ASSERT_EQ(restored.Render(in, outA, 1024), PI_NoErr);
        ASSERT_EQ(shown.Render(in, outB, 1024), PI_NoErr);
        EXPECT_EQ(std::memcmp(a0.data(), b0.data(), 1024 * sizeof(float)), 0);
        EXPECT_EQ(std::memcmp(a1.data(), b1.data(), 1024 * sizeof(float)), 0);
    }
}

TEST_P(ModuleChunks, EveryRestoreCountsAsAStateChangeAndNothingElseFromTheChunks) {
    const std::vector<unsigned char> saved = plug->Chunk();
    const int32_t start = plug->StateChanges();
    int32_t size = 0;
    EXPECT_EQ(plug->Routine<PI_ChunkSizeProc>(PI_SEL_CHUNK_SIZE)(plug->handle, kChunkId, &size), PI_NoErr);
    (void)plug->Chunk();
    EXPECT_EQ(plug->Matches(saved), 1);
    EXPECT_EQ(plug->StateChanges(), start);

    for (int n = 1; n <= 3; ++n) {
        ASSERT_EQ(plug->Restore(saved), PI_NoErr);
        EXPECT_EQ(plug->StateChanges(), start + n);
    }
    EXPECT_EQ(plug->Restore(saved, kMono), PI_ErrBadChunkId);
    std::vector<unsigned char> bad = saved;
    WriteInt32(bad, 0, 57);
    EXPECT_EQ(plug->Restore(bad), PI_ErrBadChunk);
    EXPECT_EQ(plug->StateChanges(), start + 3);
}

}  // namespace
