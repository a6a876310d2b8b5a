#include "tools/kestrom/ProgressBar.h"

#include <algorithm>
#include <string>

namespace kestrom::tool {

ProgressBar::ProgressBar(std::ostream& out, std::int64_t total, bool enabled)
    : out_(out), total_(total), enabled_(enabled && total > 0) {}

void ProgressBar::Update(std::int64_t done) {
    if (!enabled_) {
        return;
    }
    const std::int64_t clamped = std::clamp<std::int64_t>(done, 0, total_);
    const int percent = static_cast<int>(clamped * 100 / total_);
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    const int filled = percent * kWidth / 100;
    out_ << '\r' << '[' << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << percent << " %"
         << std::flush;
}

void ProgressBar::Finish() {
    if (!enabled_ || shownPercent_ < 0) {
        return;
    }
    // Blank out "[" + bar + "] 100 %" and return to the line's start.
    out_ << '\r' << std::string(kWidth + 8, ' ') << '\r' << std::flush;
    shownPercent_ = -1;
}

}  // namespace kestrom::tool
