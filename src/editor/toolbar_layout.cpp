#include "editor/toolbar_layout.h"

#include <algorithm>

namespace orva {

std::vector<glm::vec2> layoutToolbar(const ToolbarLayoutInput& input) {
    std::vector<glm::vec2> positions;
    layoutToolbar(input, positions);
    return positions;
}

void layoutToolbar(const ToolbarLayoutInput& input, std::vector<glm::vec2>& positions) {
    const size_t count = input.items.size();
    positions.assign(count, input.origin);
    if (count == 0)
        return;
    const size_t blockFirst = std::min(input.rightBlockFirst, count);

    glm::vec2 cursor = input.origin; // top-left of the next item when it starts a line
    float lineEnd = input.origin.x;  // right edge of the last item placed; == origin.x on an empty line
    bool lineEmpty = true;

    const auto newLine = [&]() {
        cursor.x = input.origin.x;
        cursor.y += input.lineAdvance;
        lineEnd = input.origin.x;
        lineEmpty = true;
    };
    const auto place = [&](size_t i) {
        const ToolbarItemSize& item = input.items[i];
        if (!lineEmpty) {
            const float x = lineEnd + item.gap;
            if (x + item.width <= input.right) {
                positions[i] = glm::vec2(x, cursor.y);
                lineEnd = x + item.width;
                return;
            }
            newLine();
        }
        positions[i] = glm::vec2(input.origin.x, cursor.y);
        lineEnd = input.origin.x + item.width;
        lineEmpty = false;
    };

    for (size_t i = 0; i < blockFirst; ++i)
        place(i);
    if (blockFirst == count)
        return;

    // The block's width: its items side by side with their own gaps (the first one's gap is the
    // block gap, counted separately).
    float blockWidth = input.items[blockFirst].width;
    for (size_t i = blockFirst + 1; i < count; ++i)
        blockWidth += input.items[i].gap + input.items[i].width;

    if (!lineEmpty && lineEnd + input.blockGap + blockWidth <= input.right) {
        lineEnd = input.right - blockWidth; // the block flows from here on the same line
        positions[blockFirst] = glm::vec2(lineEnd, cursor.y);
        lineEnd += input.items[blockFirst].width;
    } else {
        if (!lineEmpty)
            newLine();
        positions[blockFirst] = glm::vec2(input.origin.x, cursor.y);
        lineEnd = input.origin.x + input.items[blockFirst].width;
        lineEmpty = false;
    }
    for (size_t i = blockFirst + 1; i < count; ++i)
        place(i);
}

} // namespace orva
