// Where the editor embedding puts its child window in the host's client area
// (the child itself, its class and its opens and closes are tested through
// the module: tests/module/EditorEmbeddingTest.cpp).
#include <gtest/gtest.h>

#include "bridge/IPlugCustomUI.h"

namespace {

TEST(IPlugCustomUI, PlacementCentresAcrossAndSitsAtTheBottom) {
    const EditorWindows::Rect editor{0, 0, 298, 400};
    const struct {
        EditorWindows::Rect client;
        int32_t x, y;
    } cases[] = {
        {{0, 0, 298, 400}, 0, 0},    // as wide as the editor: x = rect.left
        {{0, 0, 398, 400}, 50, 0},   // 100 wider
        {{0, 0, 397, 400}, 49, 0},   // 99 wider: the half is truncated
        {{0, 0, 298, 430}, 0, 30},   // 30 taller: at the bottom
        {{0, 10, 298, 440}, 0, 40},  // the client's own top counts
        {{0, 0, 197, 400}, -50, 0},  // narrower: truncated towards zero
        {{0, 0, 298, 380}, 0, -20},  // shorter: the top is cut off
    };
    for (const auto& c : cases) {
        int32_t x = 99, y = 99;
        IPlugCustomUI::Placement(c.client, editor, x, y);
        EXPECT_EQ(x, c.x) << c.client.right << " x " << c.client.bottom;
        EXPECT_EQ(y, c.y) << c.client.right << " x " << c.client.bottom;
    }
    // An editor rectangle that does not start at 0 is placed at its own left.
    int32_t x = 0, y = 0;
    IPlugCustomUI::Placement({0, 0, 100, 50}, {7, 0, 107, 50}, x, y);
    EXPECT_EQ(x, 7);
}

}  // namespace
