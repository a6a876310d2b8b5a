#include <cstdint>

#include <gtest/gtest.h>

#include "graphics/LICE_MemBitmap.h"
#include "graphics/LICE_SysBitmap.h"

namespace {
bool Aligned64(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 64 == 0; }
}  // namespace

TEST(MemBitmap, RowsArePaddedToTheLineAlignment) {
    const struct {
        int w, lineAlign, span;
    } cases[] = {{3, 4, 4}, {4, 4, 4}, {5, 4, 8}, {3, 1, 3}, {3, 0, 3}, {3, 6, 4}, {17, 64, 32}, {1, 16, 16}};
    for (const auto& c : cases) {
        LICE_MemBitmap b(c.w, 2, c.lineAlign);
        EXPECT_EQ(b.RowSpan(), c.span) << "w " << c.w << " lineAlign " << c.lineAlign;
        EXPECT_GE(b.AllocatedBytes(), static_cast<std::size_t>(c.span) * 2 * 4);
    }
}

TEST(MemBitmap, GrowsByAQuarterAndNeverShrinks) {
    LICE_MemBitmap b(3, 2, 4);
    EXPECT_EQ(b.AllocatedBytes(), 32u);  // 2 rows of 4 pixels
    LICE_pixel* first = b.Pixels();
    EXPECT_TRUE(Aligned64(first));
    EXPECT_TRUE(b.Resize(2, 2));
    EXPECT_EQ(b.Pixels(), first);
    EXPECT_EQ(b.AllocatedBytes(), 32u);
    EXPECT_FALSE(b.Resize(2, 2));
    EXPECT_TRUE(b.Resize(8, 4));  // 128 bytes needed, 160 allocated
    EXPECT_EQ(b.AllocatedBytes(), 160u);
    EXPECT_TRUE(Aligned64(b.Pixels()));
    EXPECT_TRUE(b.Resize(9, 4));  // 12 × 4 × 4 = 192 > 160: grows again
    EXPECT_EQ(b.AllocatedBytes(), 240u);
    EXPECT_EQ(b.Width(), 9);
    EXPECT_EQ(b.Height(), 4);
}

TEST(MemBitmap, EmptyNegativeAndImpossibleSizesHoldNoPixels) {
    const struct {
        int w, h;
    } cases[] = {{0, 0}, {0, 5}, {-5, -2}, {-3, 4}, {1 << 30, 1 << 30}, {2147483647, 1}};
    for (const auto& c : cases) {
        LICE_MemBitmap b(4, 4, 4);
        b.Resize(c.w, c.h);
        EXPECT_EQ(b.Pixels(), nullptr) << c.w << " x " << c.h;
        EXPECT_EQ(b.Width(), 0);
        EXPECT_EQ(b.Height(), 0);
    }
    LICE_MemBitmap none;
    EXPECT_EQ(none.Pixels(), nullptr);
    EXPECT_TRUE(none.Resize(2, 2));
    EXPECT_NE(none.Pixels(), nullptr);
}

TEST(SysBitmap, ReusesALargerSurfaceAndKeepsItsRowSpan) {
    LICE_SysBitmap b(300, 400);
    ASSERT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.RowSpan(), 300);
    LICE_pixel* first = b.Pixels();
    EXPECT_TRUE(b.Resize(200, 100));
    EXPECT_EQ(b.Width(), 200);
    EXPECT_EQ(b.Height(), 100);
    EXPECT_EQ(b.RowSpan(), 300);
    EXPECT_EQ(b.Pixels(), first);
    EXPECT_FALSE(b.Resize(200, 100));
    EXPECT_TRUE(b.Resize(301, 10));  // wider than the surface: a new one
    EXPECT_EQ(b.RowSpan(), 304);
    EXPECT_EQ(b.DeviceContext(), nullptr);
}

TEST(SysBitmap, ZeroNegativeAndHugeSizesHoldNoPixels) {
    LICE_SysBitmap b(10, 10);
    EXPECT_FALSE(b.Resize(0, 7));
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    b.Resize(-4, 9);
    EXPECT_EQ(b.Pixels(), nullptr);
    b.Resize(1 << 30, 1 << 30);
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_TRUE(b.Resize(5, 5));
    EXPECT_NE(b.Pixels(), nullptr);
    EXPECT_EQ(b.RowSpan(), 8);
}
