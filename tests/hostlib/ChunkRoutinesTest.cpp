// The chunk routines: state saved, restored and compared through the routine
// table, and every malformed chunk refused before the process reads it. The
// chunks the host hands over live in heap buffers of exactly the size handed
// over, so that AddressSanitizer catches any read past them.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "TestModule.h"
#include "hostlib/CChunkHeader.h"

using namespace hostlib_test;

namespace {

using ChunkRoutines = ModuleTest;

// A chunk of `bytes` bytes with the given size field and ID and the gain
// value after the header, each where it has room.
std::unique_ptr<unsigned char[]> MakeChunk(int32_t bytes, int32_t sizeField, int32_t id, double gain) {
    std::unique_ptr<unsigned char[]> chunk(new unsigned char[static_cast<std::size_t>(bytes)]());
    if (bytes >= 4) CChunkHeader::WriteInt32(chunk.get(), CChunkHeader::kSizeOffset, sizeField);
    if (bytes >= 24) CChunkHeader::WriteInt32(chunk.get(), CChunkHeader::kChunkIdOffset, id);
    if (bytes >= kChunkSize) std::memcpy(chunk.get() + CChunkHeader::kBytes, &gain, sizeof gain);
    return chunk;
}

}  // namespace

TEST_F(ChunkRoutines, OneChunkWithTheProcessesId) {
    const PI_Instance instance = NewInstance();
    int32_t value = 0;
    EXPECT_EQ(host.chunkCount(instance, &value), PI_NoErr);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(host.chunkId(instance, 1, &value), PI_NoErr);
    EXPECT_EQ(value, kChunkId);
    value = 5;
    EXPECT_EQ(host.chunkId(instance, 0, &value), PI_ErrBadChunkId);
    EXPECT_EQ(host.chunkId(instance, 2, &value), PI_ErrBadChunkId);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(host.chunkSize(instance, kChunkId, &value), PI_NoErr);
    EXPECT_EQ(value, kChunkSize);
    EXPECT_EQ(host.chunkSize(instance, FourCC("Othr"), &value), PI_ErrBadChunkId);
}

TEST_F(ChunkRoutines, AChunkSavesTheHeaderAndRestoresTheState) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    // Odd alignment: the header's fields are read and written as bytes.
    std::vector<unsigned char> buffer(kChunkSize + 9, 0xEE);
    unsigned char* chunk = buffer.data() + 1;
    ASSERT_EQ(host.getChunk(instance, kChunkId, chunk, kChunkSize + 8), PI_NoErr);
    EXPECT_EQ(process->getCapacity, kChunkSize);
    EXPECT_EQ(CChunkHeader::ReadInt32(chunk, 0), kChunkSize);
    EXPECT_EQ(CChunkHeader::ReadInt32(chunk, 4), CChunkHeader::kVersion);
    EXPECT_EQ(CChunkHeader::ReadInt32(chunk, 8), kMakerId);
    EXPECT_EQ(CChunkHeader::ReadInt32(chunk, 12), kProductId);
    EXPECT_EQ(CChunkHeader::ReadInt32(chunk, 16), kStereoType);
    EXPECT_EQ(CChunkHeader::ReadInt32(chunk, 20), kChunkId);
    EXPECT_STREQ(reinterpret_cast<const char*>(chunk + 24), "Test Gain");
    EXPECT_EQ(chunk[kChunkSize], 0xEE) << "written past the chunk's own size";

    // Changed, then restored from the chunk.
    int32_t equal = -1;
    EXPECT_EQ(host.compareChunk(instance, chunk, kChunkSize, &equal), PI_NoErr);
    EXPECT_EQ(equal, 1);
    process->gain = 0.5;
    EXPECT_EQ(host.compareChunk(instance, chunk, kChunkSize, &equal), PI_NoErr);
    EXPECT_EQ(equal, 0);
    EXPECT_EQ(host.setChunk(instance, kChunkId, chunk, kChunkSize), PI_NoErr);
    EXPECT_NEAR(process->Gain(), 1.0, 1e-6);
    int32_t count = 0;
    EXPECT_EQ(host.stateChangeCount(instance, &count), PI_NoErr);
    EXPECT_EQ(count, 1);
}

TEST_F(ChunkRoutines, GettingIntoTooSmallABufferWritesNothing) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    for (int32_t capacity : {kChunkSize - 1, CChunkHeader::kBytes, 10, 0, -1}) {
        std::vector<unsigned char> chunk(kChunkSize, 0xEE);
        EXPECT_EQ(host.getChunk(instance, kChunkId, chunk.data(), capacity), PI_ErrBufferTooSmall) << capacity;
        for (unsigned char b : chunk) ASSERT_EQ(b, 0xEE);
    }
    std::vector<unsigned char> chunk(kChunkSize, 0xEE);
    EXPECT_EQ(host.getChunk(instance, FourCC("Othr"), chunk.data(), kChunkSize), PI_ErrBadChunkId);
    EXPECT_EQ(host.getChunk(instance, kChunkId, nullptr, kChunkSize), PI_ErrNullPointer);
    EXPECT_EQ(process->getCapacity, 0) << "the process was asked with a buffer too small";
}

TEST_F(ChunkRoutines, AProcessAnsweringAMalformedSizeIsAnInternalError) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    for (int32_t answer : {0, 55, 60, -64}) {
        process->chunkSizeAnswer = answer;
        int32_t size = 7;
        std::vector<unsigned char> chunk(128, 0xEE);
        EXPECT_EQ(host.chunkSize(instance, kChunkId, &size), PI_ErrInternal) << answer;
        EXPECT_EQ(host.getChunk(instance, kChunkId, chunk.data(), 128), PI_ErrInternal) << answer;
        EXPECT_EQ(size, 7);
        EXPECT_EQ(chunk[0], 0xEE);
    }
}

TEST_F(ChunkRoutines, MalformedChunksAreRefusedAndChangeNothing) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    struct Case {
        const char* what;
        int32_t bytes, sizeField, id, status;
    };
    const Case cases[] = {
        {"fewer bytes than a header", 24, kChunkSize, kChunkId, PI_ErrBadChunk},
        {"size field below the header", kChunkSize, 40, kChunkId, PI_ErrBadChunk},
        {"size field negative", kChunkSize, -8, kChunkId, PI_ErrBadChunk},
        {"size field beyond the bytes", kChunkSize, kChunkSize + 8, kChunkId, PI_ErrBadChunk},
        {"part of a value", kChunkSize, kChunkSize - 3, kChunkId, PI_ErrBadChunk},
        {"header only, shorter than the state", kChunkSize, CChunkHeader::kBytes, kChunkId, PI_ErrBadChunk},
        {"longer than the state", kChunkSize + 8, kChunkSize + 8, kChunkId, PI_ErrBadChunk},
        {"another chunk's ID", kChunkSize, kChunkSize, FourCC("Othr"), PI_ErrBadChunkId},
    };
    for (const Case& c : cases) {
        auto chunk = MakeChunk(c.bytes, c.sizeField, c.id, 0.25);
        EXPECT_EQ(host.setChunk(instance, kChunkId, chunk.get(), c.bytes), c.status) << c.what;
    }
    auto chunk = MakeChunk(kChunkSize, kChunkSize, FourCC("Othr"), 0.25);
    EXPECT_EQ(host.setChunk(instance, FourCC("Othr"), chunk.get(), kChunkSize), PI_ErrBadChunkId);
    EXPECT_EQ(host.setChunk(instance, kChunkId, nullptr, kChunkSize), PI_ErrNullPointer);
    EXPECT_EQ(process->setChunkCalls, 0);
    EXPECT_EQ(process->Gain(), 1.0);
    int32_t count = 0;
    EXPECT_EQ(host.stateChangeCount(instance, &count), PI_NoErr);
    EXPECT_EQ(count, 0);
}

TEST_F(ChunkRoutines, BytesHandedOverPastTheSizeFieldAreIgnored) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    auto chunk = MakeChunk(kChunkSize + 13, kChunkSize, kChunkId, 0.25);
    EXPECT_EQ(host.setChunk(instance, kChunkId, chunk.get(), kChunkSize + 13), PI_NoErr);
    EXPECT_EQ(process->lastSetSize, kChunkSize);
    EXPECT_NEAR(process->Gain(), 0.25, 1e-6);
}

TEST_F(ChunkRoutines, ComparingChecksTheChunkBeforeTheProcessReadsIt) {
    const PI_Instance instance = NewInstance();
    TestProcess* process = ProcessOf(instance);
    struct Case {
        const char* what;
        int32_t bytes, sizeField, id, status, equal;
    };
    const Case cases[] = {
        {"the same state", kChunkSize, kChunkSize, kChunkId, PI_NoErr, 1},
        {"shorter than the state", CChunkHeader::kBytes, CChunkHeader::kBytes, kChunkId, PI_NoErr, 0},
        {"longer than the state", kChunkSize + 8, kChunkSize + 8, kChunkId, PI_NoErr, 0},
        {"fewer bytes than a header", 20, kChunkSize, kChunkId, PI_ErrBadChunk, -1},
        {"size field beyond the bytes", kChunkSize, kChunkSize + 8, kChunkId, PI_ErrBadChunk, -1},
        {"part of a value", kChunkSize, kChunkSize - 1, kChunkId, PI_ErrBadChunk, -1},
        {"another chunk's ID", kChunkSize, kChunkSize, FourCC("Othr"), PI_ErrBadChunkId, -1},
    };
    for (const Case& c : cases) {
        auto chunk = MakeChunk(c.bytes, c.sizeField, c.id, 1.0);
        int32_t equal = -1;
        EXPECT_EQ(host.compareChunk(instance, chunk.get(), c.bytes, &equal), c.status) << c.what;
        EXPECT_EQ(equal, c.equal) << c.what;
    }
    EXPECT_EQ(process->compareCalls, 1) << "only the well-formed chunk of the state's size reaches the process";
    EXPECT_EQ(process->lastCompareSize, kChunkSize);
    auto chunk = MakeChunk(kChunkSize, kChunkSize, kChunkId, 1.0);
    EXPECT_EQ(host.compareChunk(instance, chunk.get(), kChunkSize, nullptr), PI_ErrNullPointer);
    int32_t equal = 0;
    EXPECT_EQ(host.compareChunk(instance, nullptr, kChunkSize, &equal), PI_ErrNullPointer);
}
