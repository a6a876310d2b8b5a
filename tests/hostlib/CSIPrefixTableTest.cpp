#include "hostlib/CSIPrefixTable.h"

#include <gtest/gtest.h>

#include <cmath>

// Lookups by name are exercised through the continuous controls' typed texts.
TEST(CSIPrefixTable, TwelvePrefixesAThousandApartAroundUnity) {
    const char* const names[] = {"f", "p", "n", "u", "m", "", "k", "M", "G", "T", "P", "E"};
    for (int32_t i = 0; i < CSIPrefixTable::kCount; ++i) {
        EXPECT_STREQ(CSIPrefixTable::At(i)->name, names[i]);
        EXPECT_DOUBLE_EQ(CSIPrefixTable::At(i)->factor, std::pow(10.0, 3 * (i - CSIPrefixTable::kUnity)));
    }
    EXPECT_EQ(CSIPrefixTable::At(-1), nullptr);
    EXPECT_EQ(CSIPrefixTable::At(CSIPrefixTable::kCount), nullptr);
    EXPECT_EQ(CSIPrefixTable::Find(CSIPrefixTable::kAll, "kHz", 1), CSIPrefixTable::kKilo);
    EXPECT_EQ(CSIPrefixTable::Find(CSIPrefixTable::kAll, nullptr, 0), -1);
    const CSIPrefixTable::Range wide = CSIPrefixTable::Range{INT32_MIN, INT32_MAX}.Clamped();
    EXPECT_TRUE(wide.first == 0 && wide.end == CSIPrefixTable::kCount);
    EXPECT_TRUE((CSIPrefixTable::Range{7, 3}.Clamped().Empty()));
}
