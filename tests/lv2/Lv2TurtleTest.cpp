#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "lv2/KestromTurtle.h"

namespace {

TEST(KestromTurtle, AcceptsTheParameterTableAndNamesOnlyUnitsItKnows) {
    std::string error;
    EXPECT_TRUE(KestromTurtle::Check(error)) << error;
    EXPECT_STREQ(KestromTurtle::UnitTerm("dB"), "units:db");
    EXPECT_EQ(KestromTurtle::UnitTerm("furlongs"), nullptr);
    EXPECT_EQ(KestromTurtle::Number(-20.0), "-20.0");  // a decimal, not an integer
    EXPECT_EQ(KestromTurtle::Number(0.1), "0.1");
}

// The README's table of ports is the generated one, so the two cannot drift.
TEST(KestromTurtle, ReadmePortTableIsTheGeneratedOne) {
    std::ifstream readme(KESTROM_SOURCE_DIR "/README.md");
    std::stringstream text;
    text << readme.rdbuf();
    const std::string all = text.str(), begin = "<!-- lv2-ports -->\n", end = "<!-- /lv2-ports -->";
    const std::size_t from = all.find(begin), to = all.find(end);
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << "no port table in README.md";
    EXPECT_EQ(all.substr(from + begin.size(), to - from - begin.size()), KestromTurtle::PortTable());
}

}  // namespace
