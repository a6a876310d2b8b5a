#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <sndfile.h>

#include "tools/kestrom/OutputFile.h"
#include "tools/kestrom/WavHeaderIo.h"

namespace kestrom::tool {

// Writes single-precision audio to a file through an OutputFile: the target
// appears only when the output is committed; on any failure, or when the
// writer is destroyed uncommitted, the target is left as it was.
class SoundFileWriter {
public:
    // 32-bit float WAV, the default output format, written with the 18-byte
    // fmt chunk every non-PCM WAV format is meant to have (see WavHeaderIo).
    static constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

    // The format to write `expectedFrames` frames in: `format` itself, except
    // that WAV becomes RF64 when its 32-bit sizes could not hold the data
    // (about three hours of stereo float at 48 kHz).
    static int ChooseFormat(int format, int channels, std::int64_t expectedFrames);

    explicit SoundFileWriter(std::string target);
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // Checks the format, prepares the output file and starts the sound file.
    // `format` is a libsndfile SF_FORMAT_* code. Integer formats clip samples
    // beyond full scale instead of wrapping them around.
    bool Open(int format, int channels, int sampleRate, std::string& error);

    // One buffer per channel.
    bool Write(const float* const* channels, std::int64_t frames, std::string& error);
    // Frames already interleaved (`frames` × channels samples).
    bool WriteInterleaved(const float* samples, std::int64_t frames, std::string& error);

    // Finishes the sound file (libsndfile writes the final header); the data
    // then waits in the temporary file for OutputFile::CommitAll.
    bool Finish(std::string& error);
    // Finish, then put this one output in place (see OutputFile::CommitAll).
    bool Commit(std::string& error, bool sync = true);

    OutputFile& File() { return file_; }

private:
    OutputFile file_;
    std::optional<WavHeaderIo> io_;
    SNDFILE* sound_ = nullptr;
    int channels_ = 0;
    std::vector<float> interleaved_;
};

}  // namespace kestrom::tool
