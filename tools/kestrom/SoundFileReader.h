#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <sndfile.h>

namespace kestrom::tool {

// Reads any file libsndfile reads (WAV, AIFF, FLAC, Ogg, ...) as
// single-precision samples, one buffer per channel.
class SoundFileReader {
public:
    // libsndfile's message for `file` (null: the last failed open) on one
    // line: on Windows the system's texts it passes on end in a line break.
    static std::string Message(SNDFILE* file);

    SoundFileReader() = default;
    ~SoundFileReader();
    SoundFileReader(const SoundFileReader&) = delete;
    SoundFileReader& operator=(const SoundFileReader&) = delete;

    // False with a one-line message when the file cannot be opened or is not audio.
    bool Open(const std::string& path, std::string& error);

    int Channels() const { return info_.channels; }
    int SampleRate() const { return info_.samplerate; }
    // Frame count from the file's header; the stream may end earlier.
    std::int64_t Frames() const { return info_.frames; }
    // libsndfile's SF_FORMAT_* code (major format | subtype).
    int Format() const { return info_.format; }

    // Reads up to `frames` frames into channels[0 .. Channels()-1].
    // Returns the number read (0 at the end), or -1 with a message on a read error.
    std::int64_t Read(float* const* channels, std::int64_t frames, std::string& error);
    // The same into `frames` × Channels() interleaved samples, as the file holds them.
    std::int64_t ReadInterleaved(float* samples, std::int64_t frames, std::string& error);

private:
    SNDFILE* file_ = nullptr;
    SF_INFO info_{};
    std::string path_;
    std::vector<float> interleaved_;
};

}  // namespace kestrom::tool
