// Audio files for the LV2 host checks (lv2_host_checks.sh):
//
//   kestrom_lv2_audio left IN OUT   OUT: IN's first channel, as 32-bit float WAV
//   kestrom_lv2_audio same A B      exit 0 when A and B hold the same samples bit
//                                   for bit (and the same channels, rate and length)
//   kestrom_lv2_audio limited A B   the same, with B's samples first limited to
//                                   -1 ... 1 (a host that writes no sample beyond
//                                   full scale: ecasound)
//
// Files are compared by their samples, not their bytes: libsndfile's WAV
// header carries the time it was written.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Audio {
    SF_INFO info{};
    std::vector<float> samples;  // interleaved
};

bool Read(const char* path, Audio& audio) {
    SNDFILE* file = sf_open(path, SFM_READ, &audio.info);
    if (file == nullptr) {
        std::fprintf(stderr, "%s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    audio.samples.resize(static_cast<std::size_t>(audio.info.frames * audio.info.channels));
    const bool read = sf_readf_float(file, audio.samples.data(), audio.info.frames) == audio.info.frames;
    sf_close(file);
    return read;
}

int Left(const char* in, const char* out) {
    Audio audio;
    if (!Read(in, audio)) return 1;
    std::vector<float> left(static_cast<std::size_t>(audio.info.frames));
    for (std::size_t i = 0; i < left.size(); ++i) left[i] = audio.samples[i * static_cast<std::size_t>(audio.info.channels)];
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = audio.info.samplerate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(out, SFM_WRITE, &info);
    if (file == nullptr) return 1;
    const bool written = sf_writef_float(file, left.data(), audio.info.frames) == audio.info.frames;
    return sf_close(file) == 0 && written ? 0 : 1;
}

int Same(const char* a, const char* b, bool limitB) {
    Audio x, y;
    if (!Read(a, x) || !Read(b, y)) return 1;
    if (limitB)
        for (float& v : y.samples) v = std::min(1.0f, std::max(-1.0f, v));
    if (x.info.channels != y.info.channels || x.info.samplerate != y.info.samplerate ||
        x.samples.size() != y.samples.size()) {
        std::fprintf(stderr, "%s and %s differ in channels, rate or length\n", a, b);
        return 1;
    }
    for (std::size_t i = 0; i < x.samples.size(); ++i) {
        if (std::memcmp(&x.samples[i], &y.samples[i], sizeof(float)) != 0) {
            std::fprintf(stderr, "sample %zu differs: %.9g against %.9g\n", i, static_cast<double>(x.samples[i]),
                         static_cast<double>(y.samples[i]));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc == 4 ? argv[1] : "";
    if (command == "left") return Left(argv[2], argv[3]);
    if (command == "same" || command == "limited") return Same(argv[2], argv[3], command == "limited");
    std::fprintf(stderr, "usage: kestrom_lv2_audio left IN OUT | same A B | limited A B\n");
    return 2;
}
