#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include <sys/stat.h>

#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/SoundFileReader.h"
#include "tools/kestrom/SoundFileWriter.h"

namespace kestrom::tool {
namespace {

using testing::Audio;
using testing::ScratchDir;

std::vector<const float*> Pointers(const Audio& audio) {
    std::vector<const float*> p;
    for (const auto& ch : audio.samples) {
        p.push_back(ch.data());
    }
    return p;
}

// The fmt chunk's size and the extension size after its 16 format bytes,
// when the file starts with RIFF/WAVE and its fmt chunk; and whether the RIFF
// size matches the file's.
struct FmtChunk {
    std::uint32_t size = 0;
    std::uint32_t extension = 0xFFFF;
    bool riffSizeMatches = false;
};

FmtChunk ReadFmtChunk(const std::string& path) {
    const std::string b = testing::ReadBytes(path);
    auto le = [&](std::size_t at, int bytes) {
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
        return v;
    };
    FmtChunk fmt;
    if (b.size() < 38 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 8, "WAVEfmt ") != 0) return fmt;
    fmt.size = le(16, 4);
    if (fmt.size >= 18) fmt.extension = le(36, 2);
    fmt.riffSizeMatches = le(4, 4) + 8 == b.size();
    return fmt;
}

// Float WAV carries the 18-byte fmt chunk (extension size 0) that non-PCM
// formats are meant to have; libsndfile alone writes 16 bytes, which sox and
// other strict readers warn about.
TEST(SoundFile, FloatWavRoundTripIsExactForMonoAndStereoInUnevenChunks) {
    for (int format : {SoundFileWriter::kFloatWav, SF_FORMAT_WAV | SF_FORMAT_DOUBLE})
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        ScratchDir dir;
        Audio audio = testing::Sines(channels, 1000, 44100, 1.5);  // beyond full scale survives in float
        SoundFileWriter writer(dir.File("out.wav"));
        std::string error;
        ASSERT_TRUE(writer.Open(format, channels, 44100, error)) << error;
        std::vector<const float*> p = Pointers(audio);
        ASSERT_TRUE(writer.Write(p.data(), 300, error));
        for (auto& ptr : p) {
            ptr += 300;
        }
        ASSERT_TRUE(writer.Write(p.data(), 700, error));
        ASSERT_TRUE(writer.Commit(error)) << error;

        SoundFileReader reader;
        ASSERT_TRUE(reader.Open(dir.File("out.wav"), error)) << error;
        EXPECT_EQ(reader.Channels(), channels);
        EXPECT_EQ(reader.SampleRate(), 44100);
        EXPECT_EQ(reader.Frames(), 1000);
        EXPECT_EQ(reader.Format(), format);
        std::vector<std::vector<float>> back(static_cast<std::size_t>(channels), std::vector<float>(1000));
        std::vector<float*> q;
        for (auto& ch : back) {
            q.push_back(ch.data());
        }
        EXPECT_EQ(reader.Read(q.data(), 600, error), 600);
        for (auto& ptr : q) {
            ptr += 600;
        }
        EXPECT_EQ(reader.Read(q.data(), 600, error), 400);  // the short last read
        EXPECT_EQ(reader.Read(q.data(), 600, error), 0);
        EXPECT_EQ(back, audio.samples);
        const FmtChunk fmt = ReadFmtChunk(dir.File("out.wav"));
        EXPECT_EQ(fmt.size, 18u);
        EXPECT_EQ(fmt.extension, 0u);
        EXPECT_TRUE(fmt.riffSizeMatches);
    }
}

TEST(SoundFile, IntegerFormatsClipInsteadOfWrappingAround) {
    ScratchDir dir;
    const float loud[4] = {2.0f, -2.0f, 0.5f, -0.5f};
    const float* channels[1] = {loud};
    std::string error;
    SoundFileWriter writer(dir.File("pcm.wav"));
    ASSERT_TRUE(writer.Open(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, error)) << error;
    ASSERT_TRUE(writer.Write(channels, 4, error));
    ASSERT_TRUE(writer.Commit(error));
    const Audio back = testing::ReadAudio(dir.File("pcm.wav"));
    ASSERT_EQ(back.Frames(), 4u);
    EXPECT_GT(back.samples[0][0], 0.99f);
    EXPECT_LT(back.samples[0][1], -0.99f);
    EXPECT_NEAR(back.samples[0][2], 0.5f, 1e-4);
    // PCM keeps the 16-byte fmt chunk it is meant to have.
    EXPECT_EQ(ReadFmtChunk(dir.File("pcm.wav")).size, 16u);
    EXPECT_TRUE(ReadFmtChunk(dir.File("pcm.wav")).riffSizeMatches);
}

TEST(SoundFile, UncommittedOutputLeavesNothingAndKeepsAnOldTarget) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("old.wav"), testing::Sines(1, 10)));
    {
        SoundFileWriter writer(dir.File("old.wav"));
        std::string error;
        ASSERT_TRUE(writer.Open(SoundFileWriter::kFloatWav, 2, 48000, error));
        const Audio audio = testing::Sines(2, 100);
        std::vector<const float*> p = Pointers(audio);
        ASSERT_TRUE(writer.Write(p.data(), 100, error));
        EXPECT_EQ(dir.Entries().size(), 2u);  // the target and the temporary file
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"old.wav"});
    EXPECT_EQ(testing::ReadAudio(dir.File("old.wav")).Frames(), 10u);
}

TEST(SoundFile, CommittedOutputReplacesTheTargetWithOrdinaryPermissions) {
    ScratchDir dir;
    ASSERT_TRUE(testing::WriteAudio(dir.File("t.wav"), testing::Sines(1, 10)));
    SoundFileWriter writer(dir.File("t.wav"));
    std::string error;
    ASSERT_TRUE(writer.Open(SoundFileWriter::kFloatWav, 1, 48000, error));
    const Audio audio = testing::Sines(1, 50);
    std::vector<const float*> p = Pointers(audio);
    ASSERT_TRUE(writer.Write(p.data(), 50, error));
    ASSERT_TRUE(writer.Commit(error));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.wav"});
    EXPECT_EQ(testing::ReadAudio(dir.File("t.wav")).Frames(), 50u);

    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(dir.File("t.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(SoundFile, FailuresAreReportedAsOneLine) {
    ScratchDir dir;
    std::string error;
    SoundFileReader reader;
    EXPECT_FALSE(reader.Open(dir.File("missing.wav"), error));
    EXPECT_NE(error.find("missing.wav"), std::string::npos);

    {
        std::FILE* text = std::fopen(dir.File("notes.txt").c_str(), "w");
        std::fputs("not audio at all\n", text);
        std::fclose(text);
    }
    error.clear();
    EXPECT_FALSE(reader.Open(dir.File("notes.txt"), error));
    EXPECT_EQ(error.find('\n'), std::string::npos);

    SoundFileWriter noDir(dir.File("no/such/dir/out.wav"));
    error.clear();
    EXPECT_FALSE(noDir.Open(SoundFileWriter::kFloatWav, 2, 48000, error));
    EXPECT_NE(error.find("no/such/dir"), std::string::npos);

    SoundFileWriter directory(dir.File("") );  // a path ending in '/'
    error.clear();
    EXPECT_FALSE(directory.Open(SoundFileWriter::kFloatWav, 2, 48000, error));

    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"notes.txt"});
}

TEST(SoundFile, WavTooLongForItsHeaderBecomesRf64) {
    const int floatWav = SoundFileWriter::kFloatWav;
    const std::int64_t fourHours = 4LL * 3600 * 48000;
    EXPECT_EQ(SoundFileWriter::ChooseFormat(floatWav, 2, 48000), floatWav);
    EXPECT_EQ(SoundFileWriter::ChooseFormat(floatWav, 1, fourHours), floatWav);  // 2.8 GB
    EXPECT_EQ(SoundFileWriter::ChooseFormat(floatWav, 2, fourHours), SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
    EXPECT_EQ(SoundFileWriter::ChooseFormat(floatWav, 2, SF_COUNT_MAX), SF_FORMAT_RF64 | SF_FORMAT_FLOAT);
    const int pcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    EXPECT_EQ(SoundFileWriter::ChooseFormat(pcm16, 2, fourHours), pcm16);
    const int flac = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    EXPECT_EQ(SoundFileWriter::ChooseFormat(flac, 2, 100 * fourHours), flac);
}

}  // namespace
}  // namespace kestrom::tool
