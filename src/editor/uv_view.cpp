#include "editor/uv_view.h"

#include <algorithm>
#include <cmath>

namespace orva {

glm::vec2 UvView::toScreen(const glm::vec2& uv) const {
    const glm::vec2 c = center();
    return {c.x + (uv.x - pan.x) * zoom, c.y + (pan.y - uv.y) * zoom};
}

glm::vec2 UvView::toUv(const glm::vec2& screen) const {
    const glm::vec2 c = center();
    return {pan.x + (screen.x - c.x) / zoom, pan.y - (screen.y - c.y) / zoom};
}

void UvView::zoomAt(const glm::vec2& mouse, float wheel) {
    if (!std::isfinite(wheel) || wheel == 0.0f)
        return;
    const glm::vec2 anchor = toUv(mouse);
    zoom = std::clamp(zoom * std::pow(1.2f, wheel), kMinZoom, kMaxZoom);
    // Solve toUv(mouse) == anchor for the pan.
    const glm::vec2 c = center();
    pan.x = anchor.x - (mouse.x - c.x) / zoom;
    pan.y = anchor.y + (mouse.y - c.y) / zoom;
}

void UvView::panBy(const glm::vec2& screenDelta) {
    pan.x -= screenDelta.x / zoom;
    pan.y += screenDelta.y / zoom;
}

void UvView::fit(const glm::vec2& boundsMin, const glm::vec2& boundsMax) {
    glm::vec2 lo = glm::min(boundsMin, glm::vec2(0.0f));
    glm::vec2 hi = glm::max(boundsMax, glm::vec2(1.0f));
    // UVs read from a damaged file may be infinite or NaN: frame the unit square instead.
    if (!std::isfinite(lo.x) || !std::isfinite(lo.y) || !std::isfinite(hi.x) || !std::isfinite(hi.y)) {
        lo = glm::vec2(0.0f);
        hi = glm::vec2(1.0f);
    }
    pan = 0.5f * (lo + hi);
    const float w = std::max(hi.x - lo.x, 0.001f);
    const float h = std::max(hi.y - lo.y, 0.001f);
    const float z = 0.9f * std::min(canvasSize.x / w, canvasSize.y / h);
    zoom = std::isfinite(z) ? std::clamp(z, kMinZoom, kMaxZoom) : kMinZoom;
}

} // namespace orva
