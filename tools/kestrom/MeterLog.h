#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "tools/kestrom/OutputFile.h"

namespace kestrom::tool {

// The --meter file: one line per processed block, holding the value the
// plug-in handed to the editor's meter at the end of that block, printed with
// "%.17g" so it reads back bit for bit, or "-" when nothing was handed over.
// Like the audio output it appears only complete (OutputFile).
class MeterLog {
public:
    explicit MeterLog(std::string target);
    ~MeterLog();
    MeterLog(const MeterLog&) = delete;
    MeterLog& operator=(const MeterLog&) = delete;

    bool Open(std::string& error);
    bool Add(std::optional<double> value, std::string& error);
    // Flushes and closes the text; it then waits for OutputFile::CommitAll.
    bool Finish(std::string& error);
    // Finish, then put this one output in place.
    bool Commit(std::string& error, bool sync = true);

    OutputFile& File() { return file_; }

    // The text of one line, without the newline.
    static std::string FormatLine(std::optional<double> value);

private:
    std::string WriteError() const;

    OutputFile file_;
    std::FILE* stream_ = nullptr;
};

}  // namespace kestrom::tool
