#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "tools/kestrom/ReplacingFile.h"

namespace kestrom::tool {

// The --meter file: one line per processed block, holding the value the
// plug-in handed to the editor's meter at the end of that block, printed with
// "%.17g" so it reads back bit for bit, or "-" when nothing was handed over.
// Like the audio output it appears only complete (ReplacingFile).
class MeterLog {
public:
    explicit MeterLog(std::string target);
    ~MeterLog();
    MeterLog(const MeterLog&) = delete;
    MeterLog& operator=(const MeterLog&) = delete;

    bool Open(std::string& error);
    bool Add(std::optional<double> value, std::string& error);
    bool Commit(std::string& error);

    // The text of one line, without the newline.
    static std::string FormatLine(std::optional<double> value);

private:
    ReplacingFile file_;
    std::FILE* stream_ = nullptr;
};

}  // namespace kestrom::tool
