#include <gtest/gtest.h>

#include <sstream>

#include "tools/kestrom/ProgressBar.h"

namespace kestrom::tool {
namespace {

TEST(ProgressBar, DisabledOrEmptyBarsPrintNothing) {
    std::ostringstream out;
    ProgressBar disabled(out, 1000, false);
    disabled.Update(500);
    disabled.Finish();
    ProgressBar empty(out, 0, true);
    empty.Update(10);
    empty.Finish();
    EXPECT_EQ(out.str(), "");
}

TEST(ProgressBar, RedrawsOnlyWhenThePercentageChangesAndClearsAtTheEnd) {
    std::ostringstream out;
    ProgressBar bar(out, 1000, true);
    bar.Update(0);
    bar.Update(4);  // still 0 %
    bar.Update(500);
    bar.Update(5000);  // beyond the total: 100 %
    const std::string drawn = out.str();
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), '\r'), 3);
    EXPECT_NE(drawn.find("[" + std::string(20, '#') + std::string(20, '-') + "] 50 %"), std::string::npos);
    EXPECT_NE(drawn.find("[" + std::string(40, '#') + "] 100 %"), std::string::npos);
    bar.Finish();
    const std::string cleared = out.str().substr(drawn.size());
    EXPECT_EQ(cleared, "\r" + std::string(ProgressBar::kWidth + 8, ' ') + "\r");
}

}  // namespace
}  // namespace kestrom::tool
