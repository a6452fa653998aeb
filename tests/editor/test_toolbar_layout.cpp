#include "editor/toolbar_layout.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

// Three flow items (one group of two after a first one) and a right block of two, 10 wide each.
ToolbarLayoutInput fiveItems(float right) {
    ToolbarLayoutInput in;
    in.items = {{10, 0}, {10, 12}, {10, 4}, {10, 12}, {10, 4}};
    in.rightBlockFirst = 3;
    in.blockGap = 12;
    in.origin = {8, 8};
    in.right = right;
    in.lineAdvance = 20;
    return in;
}

TEST(ToolbarLayout, WideRowKeepsGapsAndPushesTheBlockToTheRightEdge) {
    const auto p = layoutToolbar(fiveItems(200));
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0], glm::vec2(8, 8));
    EXPECT_EQ(p[1], glm::vec2(30, 8)); // 8 + 10 + gap 12
    EXPECT_EQ(p[2], glm::vec2(44, 8)); // 30 + 10 + gap 4
    // Block width 10 + 4 + 10 = 24, ending at the right edge.
    EXPECT_EQ(p[3], glm::vec2(176, 8));
    EXPECT_EQ(p[4], glm::vec2(190, 8));
}

TEST(ToolbarLayout, BlockThatDoesNotFitStartsANewLineAtTheLeft) {
    // Flow ends at 54; 54 + 12 + 24 = 90 > 80, so the block moves down.
    const auto p = layoutToolbar(fiveItems(80));
    EXPECT_EQ(p[2], glm::vec2(44, 8));
    EXPECT_EQ(p[3], glm::vec2(8, 28));
    EXPECT_EQ(p[4], glm::vec2(22, 28));
}

TEST(ToolbarLayout, BlockFitsExactlyAtTheLimit) {
    const auto p = layoutToolbar(fiveItems(90)); // 54 + 12 + 24 == 90
    EXPECT_EQ(p[3], glm::vec2(66, 8));
    EXPECT_EQ(p[4], glm::vec2(80, 8));
}

TEST(ToolbarLayout, NarrowPanelPutsEveryItemOnItsOwnLine) {
    // Room for one item per line: every item, block items included, starts at the left.
    const auto p = layoutToolbar(fiveItems(25));
    for (size_t i = 0; i < p.size(); ++i)
        EXPECT_EQ(p[i], glm::vec2(8, 8 + 20 * float(i))) << "item " << i;
}

TEST(ToolbarLayout, WrapsInsideTheFlowBeforeTheBlock) {
    // Item 1 fits (30..40 <= 42), item 2 does not (44..54 > 42) and starts the second line.
    const auto p = layoutToolbar(fiveItems(42));
    EXPECT_EQ(p[1], glm::vec2(30, 8));
    EXPECT_EQ(p[2], glm::vec2(8, 28));
    // The second line ends at 18; 18 + 12 + 24 = 54 > 42: the block gets a line of its own.
    EXPECT_EQ(p[3], glm::vec2(8, 48));
    EXPECT_EQ(p[4], glm::vec2(22, 48));
}

TEST(ToolbarLayout, EmptyAndBlockOnlyInputs) {
    ToolbarLayoutInput empty;
    EXPECT_TRUE(layoutToolbar(empty).empty());

    // Only a block: it starts the first line at the left (there is nothing to share a line with).
    ToolbarLayoutInput blockOnly = fiveItems(200);
    blockOnly.rightBlockFirst = 0;
    const auto p = layoutToolbar(blockOnly);
    EXPECT_EQ(p[0], glm::vec2(8, 8));
    EXPECT_EQ(p[1], glm::vec2(30, 8));
}

} // namespace
} // namespace orva
