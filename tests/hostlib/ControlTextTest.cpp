#include "hostlib/ControlText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

using namespace kestrom::hostlib;

namespace {

std::string Fixed(double v, int32_t decimals) {
    char out[kFixedTextSize];
    FormatFixed(v, decimals, out);
    return out;
}

double Read(const std::string& text, std::size_t* used = nullptr) {
    double v = std::nan("");
    const char* end = text.c_str();
    EXPECT_TRUE(ReadNumber(text.c_str(), &v, &end)) << text.substr(0, 16);
    if (used) *used = static_cast<std::size_t>(end - text.c_str());
    return v;
}

}  // namespace

// A host may set a locale whose decimal point is a comma; texts keep the point.
TEST(ControlText, NumbersIgnoreTheLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
        if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            comma = true;
            break;
        }
    const std::string text = Fixed(3.25, 2);
    std::size_t used = 0;
    const double v = Read("3.25k", &used);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(text, "3.25");
    EXPECT_EQ(v, 3.25);
    EXPECT_EQ(used, 4u);
}

TEST(ControlText, NumbersBeyondTheDoublesReadLikeTheCLibrary) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::string nines(400, '9'), zeros(400, '0');
    const std::pair<std::string, double> cases[] = {
        {"1e999", inf}, {"-1e999", -inf}, {"1e-999", 0.0}, {"-1e-999", -0.0}, {nines, inf}, {"-" + nines, -inf},
        {"0." + zeros + "1", 0.0}, {"0.000001e400", inf}, {"123" + zeros + "e-800", 0.0},
    };
    for (const auto& [text, value] : cases) {
        std::size_t used = 0;
        const double v = Read(text, &used);
        EXPECT_EQ(v, value) << text.substr(0, 16);
        EXPECT_EQ(std::signbit(v), std::signbit(value)) << text.substr(0, 16);
        EXPECT_EQ(used, text.size());
    }
}
