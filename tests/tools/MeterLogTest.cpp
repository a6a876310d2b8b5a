#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>

#include "tests/tools/ToolTestFiles.h"
#include "tools/kestrom/MeterLog.h"

namespace kestrom::tool {
namespace {

TEST(MeterLog, LinesReadBackBitForBit) {
    const double values[] = {0.0, 1.0, 0.1, 1.0 / 3.0, 0.45454545454545453, std::numeric_limits<double>::denorm_min(),
                             0.99999999999999989};
    for (double v : values) {
        const std::string line = MeterLog::FormatLine(v);
        EXPECT_EQ(std::strtod(line.c_str(), nullptr), v) << line;
    }
    EXPECT_EQ(MeterLog::FormatLine(std::nullopt), "-");
    EXPECT_EQ(MeterLog::FormatLine(0.5), "0.5");
}

TEST(MeterLog, WritesOneLinePerBlockOnlyWhenCommitted) {
    testing::ScratchDir dir;
    std::string error;
    {
        MeterLog abandoned(dir.File("abandoned.txt"));
        ASSERT_TRUE(abandoned.Open(error));
        ASSERT_TRUE(abandoned.Add(0.25, error));
    }
    MeterLog log(dir.File("meter.txt"));
    ASSERT_TRUE(log.Open(error)) << error;
    ASSERT_TRUE(log.Add(0.25, error));
    ASSERT_TRUE(log.Add(std::nullopt, error));
    ASSERT_TRUE(log.Add(0.125, error));
    ASSERT_TRUE(log.Commit(error)) << error;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"meter.txt"});

    std::ifstream in(dir.File("meter.txt"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "0.25\n-\n0.125\n");
}

}  // namespace
}  // namespace kestrom::tool
