#include "core/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::string Decode(const char* text, int maxBytes) {
    std::vector<uint8_t> out(static_cast<std::size_t>(maxBytes) + 4, 0xEE);
    const int n = kestrom::Base64Decode(text, out.data(), maxBytes);
    EXPECT_EQ(out[static_cast<std::size_t>(maxBytes)], 0xEE);  // never past maxBytes
    return std::string(out.begin(), out.begin() + n);
}
std::string Encode(const std::string& s) {
    return kestrom::Base64Encode(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(s.size()));
}
}  // namespace

TEST(Base64, KnownVectorsRoundTrip) {
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {{"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},
                 {"foo", "Zm9v"},   {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                 {"foobar", "Zm9vYmFy"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Encode(c.plain), c.encoded);
        EXPECT_EQ(Decode(c.encoded, 16), c.plain);
    }
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(Decode(Encode(all).c_str(), 256), all);
}

TEST(Base64, DecodingStopsAtPaddingForeignCharactersAndTheLimit) {
    EXPECT_EQ(Decode("Zm9v=Zm9v", 16), "foo");
    EXPECT_EQ(Decode("Zm9v Zm9v", 16), "foo");
    EXPECT_EQ(Decode("Zm9vYmFy", 4), "foob");
    EXPECT_EQ(Decode("Zm9vYmFy", 0), "");
}
