#include "tools/kestrom/MeterLog.h"

#include <cerrno>
#include <cstring>

namespace kestrom::tool {

MeterLog::MeterLog(std::string target) : file_(std::move(target)) {}

MeterLog::~MeterLog() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
}

bool MeterLog::Open(std::string& error) {
    if (!file_.Prepare(error)) {
        return false;
    }
    stream_ = file_.OpenStream("w", error);
    return stream_ != nullptr;
}

std::string MeterLog::FormatLine(std::optional<double> value) {
    if (!value) {
        return "-";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", *value);
    return text;
}

std::string MeterLog::WriteError() const {
    return "error writing '" + file_.Target() + "': " + std::strerror(errno != 0 ? errno : EIO);
}

bool MeterLog::Add(std::optional<double> value, std::string& error) {
    if (stream_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    errno = 0;
    if (std::fprintf(stream_, "%s\n", FormatLine(value).c_str()) < 0) {
        error = WriteError();
        return false;
    }
    return true;
}

bool MeterLog::Finish(std::string& error) {
    if (stream_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    errno = 0;
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    if (!flushed) {
        error = WriteError();
    }
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (flushed && !closed) {
        error = WriteError();
    }
    if (!flushed || !closed) {
        file_.Discard();
        return false;
    }
    return true;
}

bool MeterLog::Commit(std::string& error, bool sync) {
    return Finish(error) && OutputFile::CommitAll({&file_}, sync, error);
}

}  // namespace kestrom::tool
