#include "tools/kestrom/SoundFileReader.h"

#include "tools/kestrom/OneLine.h"

namespace kestrom::tool {

std::string SoundFileReader::Message(SNDFILE* file) { return OneLine(sf_strerror(file)); }

SoundFileReader::~SoundFileReader() {
    if (file_ != nullptr) {
        sf_close(file_);
    }
}

bool SoundFileReader::Open(const std::string& path, std::string& error) {
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
    info_ = SF_INFO{};
    path_ = path;
    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (file_ == nullptr) {
        error = "cannot read '" + path + "': " + Message(nullptr);
        return false;
    }
    if (info_.channels < 1 || info_.samplerate < 1) {
        error = "cannot read '" + path + "': no channels or no sample rate";
        sf_close(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

std::int64_t SoundFileReader::ReadInterleaved(float* samples, std::int64_t frames, std::string& error) {
    if (file_ == nullptr || frames <= 0) {
        return 0;
    }
    const sf_count_t got = sf_readf_float(file_, samples, frames);
    if (got < frames && sf_error(file_) != SF_ERR_NO_ERROR) {
        error = "error reading '" + path_ + "': " + Message(file_);
        return -1;
    }
    return got;
}

std::int64_t SoundFileReader::Read(float* const* channels, std::int64_t frames, std::string& error) {
    if (file_ == nullptr || frames <= 0) {
        return 0;
    }
    const auto count = static_cast<std::size_t>(info_.channels);
    if (interleaved_.size() < static_cast<std::size_t>(frames) * count) {
        interleaved_.resize(static_cast<std::size_t>(frames) * count);
    }
    const std::int64_t got = ReadInterleaved(interleaved_.data(), frames, error);
    for (std::int64_t i = 0; i < got; ++i) {
        for (std::size_t c = 0; c < count; ++c) {
            channels[c][i] = interleaved_[static_cast<std::size_t>(i) * count + c];
        }
    }
    return got;
}

}  // namespace kestrom::tool
