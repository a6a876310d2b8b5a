#include "core/IStateChunk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

TEST(IStateChunk, ValuesAreLittleEndianWithoutPadding) {
    IStateChunk c;
    c.AppendInt32(0x01020304);
    c.AppendDouble(1.0);
    const uint8_t expected[] = {0x04, 0x03, 0x02, 0x01, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    ASSERT_EQ(c.ByteCount(), 12);
    EXPECT_EQ(std::memcmp(c.Bytes(), expected, sizeof expected), 0);
}

TEST(IStateChunk, ValuesRoundTrip) {
    IStateChunk c;
    const double values[] = {0.0, -0.0, 1.5, -20.0, 1e-300, std::numeric_limits<double>::infinity()};
    for (double v : values) c.AppendDouble(v);
    c.AppendInt32(-7);
    c.AppendText("user preset 1");
    int pos = 0;
    for (double v : values) {
        double read = 42;
        pos = c.ReadDoubleAt(&read, pos);
        ASSERT_GT(pos, 0);
        EXPECT_EQ(std::memcmp(&read, &v, 8), 0);
    }
    int32_t i = 0;
    pos = c.ReadInt32At(&i, pos);
    EXPECT_EQ(i, -7);
    std::string text;
    pos = c.ReadTextAt(&text, pos);
    EXPECT_EQ(text, "user preset 1");
    EXPECT_EQ(pos, c.ByteCount());
}

TEST(IStateChunk, ReadPastTheEndCopiesNothing) {
    IStateChunk c;
    c.AppendInt32(5);
    double v = 3.0;
    EXPECT_EQ(c.ReadDoubleAt(&v, 0), -1);
    EXPECT_EQ(v, 3.0);
    int32_t i = 9;
    EXPECT_EQ(c.ReadInt32At(&i, 1), -1);
    EXPECT_EQ(c.ReadInt32At(&i, -1), -1);
    EXPECT_EQ(i, 9);
    EXPECT_EQ(c.ReadInt32At(&i, 0), 4);
}

TEST(IStateChunk, TextThatDoesNotFitLeavesTheOldTextAndMovesPastIt) {
    IStateChunk c;
    c.AppendInt32(10);
    c.Append("abc", 3);
    std::string text = "old";
    EXPECT_EQ(c.ReadTextAt(&text, 0), 14);
    EXPECT_EQ(text, "old");

    IStateChunk empty;
    empty.AppendText("");
    EXPECT_EQ(empty.ReadTextAt(&text, 0), 4);
    EXPECT_EQ(text, "old");
}

TEST(IStateChunk, NegativeOrOverflowingTextLengthIsAReadPastTheEnd) {
    for (int32_t length : {-1, -4, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        IStateChunk c;
        c.AppendInt32(length);
        c.Append("abcdefgh", 8);
        std::string text = "old";
        EXPECT_EQ(c.ReadTextAt(&text, 0), -1) << length;
        EXPECT_EQ(text, "old");
    }
}

TEST(IStateChunk, SetSizeGrowsWithZerosAndShrinks) {
    IStateChunk c;
    c.SetSize(5);
    EXPECT_EQ(c.ByteCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(c.Bytes()[i], 0);
    c.AppendChunk(c);  // appending itself doubles it
    EXPECT_EQ(c.ByteCount(), 10);
    c.SetSize(0);
    EXPECT_EQ(c.ByteCount(), 0);
}
