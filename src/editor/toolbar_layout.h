#pragma once

#include <cstddef>
#include <vector>

#include "scene/math.h"

// Where the viewport toolbar's items go: a flow from the left that wraps onto further lines when the
// panel is narrow, with one block of items kept against the right edge while it fits. Pure geometry,
// so it can be checked without a window. Positions and widths are interface points, screen space.
namespace orva {

struct ToolbarItemSize {
    float width = 0.0f; // estimated width: label width plus the horizontal frame padding on both sides
    float gap = 0.0f;   // space before the item when it follows another on the same line
};

struct ToolbarLayoutInput {
    std::vector<ToolbarItemSize> items;
    // Index of the first item of the right-aligned block; items.size() (or more) means no block.
    size_t rightBlockFirst = 0;
    float blockGap = 12.0f;   // space wanted between the flow and the block on a shared line
    glm::vec2 origin{0.0f};   // top-left of the first line
    float right = 0.0f;       // items must end at or before this x
    float lineAdvance = 0.0f; // distance from one line's top to the next
};

// The top-left corner of every item, in item order. The first item of a line always sits at
// origin.x, even when it is wider than the room (it is then clipped by the panel, not dropped).
// The block starts at `right` minus its width on the line of the item before it when it fits there
// after `blockGap`, otherwise at origin.x on a new line; inside the block the items flow and wrap
// as the others do.
std::vector<glm::vec2> layoutToolbar(const ToolbarLayoutInput& input);
// The same into `positions` (resized to the item count), so a caller drawing every frame can reuse
// its buffer.
void layoutToolbar(const ToolbarLayoutInput& input, std::vector<glm::vec2>& positions);

} // namespace orva
