#include "tools/kestrom/MeterLog.h"

#include <unistd.h>

namespace kestrom::tool {

MeterLog::MeterLog(std::string target) : file_(std::move(target)) {}

MeterLog::~MeterLog() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
}

bool MeterLog::Open(std::string& error) {
    if (!file_.Create(error)) {
        return false;
    }
    const int fd = file_.TakeDescriptor();
    stream_ = fdopen(fd, "w");
    if (stream_ == nullptr) {
        error = "cannot write '" + file_.Target() + "'";
        close(fd);
        file_.Discard();
        return false;
    }
    return true;
}

std::string MeterLog::FormatLine(std::optional<double> value) {
    if (!value) {
        return "-";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", *value);
    return text;
}

bool MeterLog::Add(std::optional<double> value, std::string& error) {
    if (stream_ == nullptr || std::fprintf(stream_, "%s\n", FormatLine(value).c_str()) < 0) {
        error = "error writing '" + file_.Target() + "'";
        return false;
    }
    return true;
}

bool MeterLog::Commit(std::string& error) {
    if (stream_ == nullptr) {
        error = "'" + file_.Target() + "' is not open";
        return false;
    }
    const bool flushed = std::fflush(stream_) == 0 && !std::ferror(stream_);
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!flushed || !closed) {
        error = "error writing '" + file_.Target() + "'";
        file_.Discard();
        return false;
    }
    return file_.Commit(error);
}

}  // namespace kestrom::tool
