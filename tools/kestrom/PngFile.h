#pragma once

#include <cstdio>
#include <string>

#include "tools/kestrom/OutputFile.h"

class LICE_IBitmap;

namespace kestrom::tool {

// A picture written as an 8-bit RGB PNG (libpng). The pixels' alpha is left
// out: it is not part of what a window shows. Like the tool's other outputs
// the file appears only complete (OutputFile); Open early to find a bad
// path before any work is done.
class PngFile {
public:
    explicit PngFile(std::string target);
    ~PngFile();
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;

    bool Open(std::string& error);
    // Encodes bitmap (at least 1 × 1) into the open file; it then waits for
    // OutputFile::CommitAll.
    bool Write(const LICE_IBitmap& bitmap, std::string& error);
    // Write, then put this one output in place.
    bool WriteAndCommit(const LICE_IBitmap& bitmap, std::string& error, bool sync = true);

    const std::string& Target() const { return file_.Target(); }
    OutputFile& File() { return file_; }

private:
    OutputFile file_;
    std::FILE* stream_ = nullptr;
};

}  // namespace kestrom::tool
