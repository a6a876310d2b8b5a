#include "tools/kestrom/SoundFileWriter.h"

#include "tools/kestrom/SoundFileReader.h"

namespace kestrom::tool {

SoundFileWriter::SoundFileWriter(std::string target) : file_(std::move(target)) {}

SoundFileWriter::~SoundFileWriter() {
    if (sound_ != nullptr) {
        sf_close(sound_);
    }
    // file_'s destructor removes the temporary file unless it was committed.
}

namespace {

// Bytes one sample takes in a subtype; 8 (the largest) when not fixed.
std::int64_t BytesPerSample(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW:
            return 1;
        case SF_FORMAT_PCM_16:
            return 2;
        case SF_FORMAT_PCM_24:
            return 3;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
            return 4;
        default:
            return 8;
    }
}

// Largest data size a WAV header can state (32-bit sizes), less room for the
// other chunks.
constexpr std::int64_t kWavDataLimit = 0xFFFFFFFFll - 0x10000;

}  // namespace

int SoundFileWriter::ChooseFormat(int format, int channels, std::int64_t expectedFrames) {
    if ((format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV) {
        return format;
    }
    // Divided rather than multiplied: an unknown length reads as a huge count.
    if (channels < 1 || expectedFrames <= kWavDataLimit / (channels * BytesPerSample(format))) {
        return format;
    }
    return (format & ~SF_FORMAT_TYPEMASK) | SF_FORMAT_RF64;
}

bool SoundFileWriter::Open(int format, int channels, int sampleRate, std::string& error) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    if (!sf_format_check(&info)) {
        error = "cannot write '" + file_.Target() + "' in this format (" + std::to_string(channels) +
                " channels at " + std::to_string(sampleRate) + " Hz)";
        return false;
    }
    if (!file_.Prepare(error)) {
        return false;
    }
    // The descriptor stays the output file's: it is synced after libsndfile
    // has closed the sound file and rewritten its header. libsndfile reaches
    // it through WavHeaderIo, which gives a float WAV its 18-byte fmt chunk.
    io_.emplace(file_.Descriptor());
    sound_ = sf_open_virtual(io_->Callbacks(), SFM_WRITE, &info, &*io_);
    if (sound_ == nullptr) {
        error = "cannot write '" + file_.Target() + "': " + SoundFileReader::Message(nullptr);
        file_.Discard();
        return false;
    }
    // Integer subtypes: clip at full scale rather than wrap around.
    sf_command(sound_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    channels_ = channels;
    return true;
}

bool SoundFileWriter::Write(const float* const* channels, std::int64_t frames, std::string& error) {
    if (frames <= 0) {
        return WriteInterleaved(nullptr, 0, error);
    }
    const auto count = static_cast<std::size_t>(channels_);
    if (interleaved_.size() < static_cast<std::size_t>(frames) * count) {
        interleaved_.resize(static_cast<std::size_t>(frames) * count);
    }
    for (std::int64_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < count; ++c) {
            interleaved_[static_cast<std::size_t>(i) * count + c] = channels[c][i];
        }
    }
    return WriteInterleaved(interleaved_.data(), frames, error);
}

bool SoundFileWriter::WriteInterleaved(const float* samples, std::int64_t frames, std::string& error) {
    if (sound_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    if (frames > 0 && sf_writef_float(sound_, samples, frames) != frames) {
        error = "error writing '" + file_.Target() + "': " + SoundFileReader::Message(sound_);
        return false;
    }
    return true;
}

bool SoundFileWriter::Finish(std::string& error) {
    if (sound_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    const int closed = sf_close(sound_);
    sound_ = nullptr;
    if (closed != 0) {
        error = "error writing '" + file_.Target() + "': " + sf_error_number(closed);
        file_.Discard();
        return false;
    }
    return true;
}

bool SoundFileWriter::Commit(std::string& error, bool sync) {
    return Finish(error) && OutputFile::CommitAll({&file_}, sync, error);
}

}  // namespace kestrom::tool
