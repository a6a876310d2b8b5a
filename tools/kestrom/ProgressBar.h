#pragma once

#include <cstdint>
#include <ostream>

namespace kestrom::tool {

// A one-line text progress bar, redrawn in place with a carriage return.
// Disabled bars print nothing; the tool enables one only for long files on a
// terminal, so logs and pipes stay clean.
class ProgressBar {
public:
    // `total` frames make 100 %; a total of 0 or less draws nothing.
    ProgressBar(std::ostream& out, std::int64_t total, bool enabled);

    // Redraws when the shown percentage changes; `done` beyond the total shows 100 %.
    void Update(std::int64_t done);

    // Clears the bar's line, if anything was drawn.
    void Finish();

    static constexpr int kWidth = 40;  // characters between the brackets

private:
    std::ostream& out_;
    std::int64_t total_;
    bool enabled_;
    int shownPercent_ = -1;
};

}  // namespace kestrom::tool
