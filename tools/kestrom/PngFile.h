#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/kestrom/OutputFile.h"

namespace kestrom::tool {

// A picture written as an 8-bit RGB PNG (libpng), from rows of RGB bytes as
// a window's pixels read back. Like the tool's other outputs
// the file appears only complete (OutputFile); Open early to find a bad
// path before any work is done.
class PngFile {
public:
    explicit PngFile(std::string target);
    ~PngFile();
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;

    bool Open(std::string& error);
    // Encodes a width x height picture (at least 1 x 1) given as `rgb`: 3
    // bytes a pixel, rows top to bottom without padding, width x height x 3
    // bytes in all. It then waits in the file for OutputFile::CommitAll.
    bool Write(int width, int height, const std::vector<unsigned char>& rgb, std::string& error);

    const std::string& Target() const { return file_.Target(); }
    OutputFile& File() { return file_; }

private:
    OutputFile file_;
    std::FILE* stream_ = nullptr;
};

}  // namespace kestrom::tool
