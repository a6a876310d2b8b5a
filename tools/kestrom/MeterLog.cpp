#include "tools/kestrom/MeterLog.h"

namespace kestrom::tool {

MeterLog::MeterLog(std::string target) : file_(std::move(target)) {}

MeterLog::~MeterLog() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
    }
}

bool MeterLog::Open(std::string& error) {
    stream_ = file_.CreateStream("w", error);
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
