#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sndfile.h>

#include "tools/kestrom/ReplacingFile.h"

namespace kestrom::tool {

// Writes single-precision channel buffers to an audio file through a
// ReplacingFile: the target appears only when Commit() succeeds; on any
// failure, or when the writer is destroyed uncommitted, nothing is left behind.
class SoundFileWriter {
public:
    // 32-bit float WAV, the default output format.
    static constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

    // The format to write `expectedFrames` frames in: `format` itself, except
    // that WAV becomes RF64 when its 32-bit sizes could not hold the data
    // (about three hours of stereo float at 48 kHz).
    static int ChooseFormat(int format, int channels, std::int64_t expectedFrames);

    explicit SoundFileWriter(std::string target);
    ~SoundFileWriter();
    SoundFileWriter(const SoundFileWriter&) = delete;
    SoundFileWriter& operator=(const SoundFileWriter&) = delete;

    // `format` is a libsndfile SF_FORMAT_* code. Integer formats clip samples
    // beyond full scale instead of wrapping them around.
    bool Open(int format, int channels, int sampleRate, std::string& error);

    bool Write(const float* const* channels, std::int64_t frames, std::string& error);

    // Finishes the file (header, flush) and moves it to the target.
    bool Commit(std::string& error);

private:
    ReplacingFile file_;
    SNDFILE* sound_ = nullptr;
    int channels_ = 0;
    std::vector<float> interleaved_;
};

}  // namespace kestrom::tool
