#pragma once

// Helpers shared by the command-line tool's tests: a scratch directory that
// cleans up after itself, and small audio files written and read back with
// libsndfile directly (independently of the tool's own reader and writer).

#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace kestrom::tool::testing {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrom-tool-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Names of everything in the directory, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

// The whole content of a file, as bytes.
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A float WAV's bytes with the time stamp of its PEAK chunk (the second it
// was written, 4 bytes after the chunk's version) set to 0, so that the
// bytes of two runs compare equal whenever their audio and peaks do.
inline std::string WithoutPeakTime(std::string wav) {
    const auto peak = wav.find("PEAK");
    if (peak != std::string::npos && peak + 16 <= wav.size()) wav.replace(peak + 12, 4, 4, '\0');
    return wav;
}

inline std::string WavBytes(const std::string& path) { return WithoutPeakTime(ReadBytes(path)); }

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A named pipe and a thread at its reading end: it opens the FIFO (which
// lets a writer's open go ahead), then reads everything until the writer
// closes, or only `limit` bytes before closing its end early. Join() waits
// for it and returns what it read.
class FifoReader {
public:
    explicit FifoReader(std::string path, std::size_t limit = SIZE_MAX) : path_(std::move(path)) {
        mkfifo(path_.c_str(), 0600);
        thread_ = std::thread([this, limit] {
            const int fd = open(path_.c_str(), O_RDONLY);
            char buffer[4096];
            while (fd >= 0 && bytes_.size() < limit) {
                const ssize_t got = read(fd, buffer, std::min(sizeof buffer, limit - bytes_.size()));
                if (got <= 0) {
                    break;
                }
                bytes_.append(buffer, static_cast<std::size_t>(got));
            }
            if (fd >= 0) {
                close(fd);
            }
        });
    }
    ~FifoReader() { Join(); }
    const std::string& Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return bytes_;
    }

private:
    std::string path_;
    std::string bytes_;
    std::thread thread_;
};

// Channel-major audio: samples[c][i].
struct Audio {
    int sampleRate = 0;
    int format = 0;
    std::vector<std::vector<float>> samples;
    std::size_t Frames() const { return samples.empty() ? 0 : samples[0].size(); }
};

inline bool WriteAudio(const std::string& path, const Audio& audio, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT) {
    SF_INFO info{};
    info.channels = static_cast<int>(audio.samples.size());
    info.samplerate = audio.sampleRate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<float> interleaved(audio.Frames() * audio.samples.size());
    for (std::size_t i = 0; i < audio.Frames(); ++i) {
        for (std::size_t c = 0; c < audio.samples.size(); ++c) {
            interleaved[i * audio.samples.size() + c] = audio.samples[c][i];
        }
    }
    const auto frames = static_cast<sf_count_t>(audio.Frames());
    const bool ok = sf_writef_float(file, interleaved.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

inline Audio ReadAudio(const std::string& path) {
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return audio;
    }
    audio.sampleRate = info.samplerate;
    audio.format = info.format;
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    audio.samples.assign(static_cast<std::size_t>(info.channels), std::vector<float>(static_cast<std::size_t>(info.frames)));
    for (std::size_t i = 0; i < static_cast<std::size_t>(info.frames); ++i) {
        for (std::size_t c = 0; c < audio.samples.size(); ++c) {
            audio.samples[c][i] = interleaved[i * audio.samples.size() + c];
        }
    }
    return audio;
}

// A sine per channel (frequencies 440 Hz, 660 Hz, ...), amplitude `level`.
inline Audio Sines(int channels, std::size_t frames, int sampleRate = 48000, double level = 0.5) {
    Audio audio;
    audio.sampleRate = sampleRate;
    audio.samples.assign(static_cast<std::size_t>(channels), std::vector<float>(frames));
    for (int c = 0; c < channels; ++c) {
        const double f = 440.0 * (1.0 + 0.5 * c);
        for (std::size_t i = 0; i < frames; ++i) {
            audio.samples[static_cast<std::size_t>(c)][i] =
                static_cast<float>(level * std::sin(6.283185307179586 * f * static_cast<double>(i) / sampleRate));
        }
    }
    return audio;
}

}  // namespace kestrom::tool::testing
