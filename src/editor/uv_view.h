#pragma once

#include "scene/math.h"

// The 2D view of the UV editor's canvas: which UV point sits at the canvas centre and how many
// screen pixels one UV unit spans. Screen y grows downwards while V grows upwards. Pure arithmetic,
// usable without a window.
namespace orva {

struct UvView {
    static constexpr float kMinZoom = 2.0f;
    static constexpr float kMaxZoom = 200000.0f;

    glm::vec2 pan{0.5f, 0.5f};  // UV coordinate shown at the canvas centre
    float zoom = 200.0f;        // pixels per UV unit, within [kMinZoom, kMaxZoom]
    glm::vec2 canvasPos{0.0f};  // top-left corner of the canvas, screen pixels
    glm::vec2 canvasSize{1.0f}; // screen pixels

    glm::vec2 center() const { return canvasPos + 0.5f * canvasSize; }
    glm::vec2 toScreen(const glm::vec2& uv) const;
    glm::vec2 toUv(const glm::vec2& screen) const;

    // Multiplies the zoom by 1.2^wheel (clamped) and moves the pan so that the UV point under
    // `mouse` (screen pixels) stays under it.
    void zoomAt(const glm::vec2& mouse, float wheel);
    // Moves the view by a mouse movement in screen pixels (the content follows the mouse).
    void panBy(const glm::vec2& screenDelta);
    // Centres the box spanned by the bounds and the unit square and zooms so it fills 90 % of the
    // canvas. `boundsMin` > `boundsMax` (no UVs) frames the unit square alone.
    void fit(const glm::vec2& boundsMin, const glm::vec2& boundsMax);
};

} // namespace orva
