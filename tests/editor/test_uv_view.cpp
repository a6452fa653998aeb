#include "editor/uv_view.h"

#include <cmath>

#include <gtest/gtest.h>

namespace orva {
namespace {

UvView makeView() {
    UvView view;
    view.canvasPos = glm::vec2(100.0f, 50.0f);
    view.canvasSize = glm::vec2(400.0f, 300.0f);
    view.pan = glm::vec2(0.25f, 0.75f);
    view.zoom = 160.0f;
    return view;
}

TEST(UvView, ScreenAndUvAreInversesWithVGrowingUpwards) {
    const UvView view = makeView();
    // The pan sits at the canvas centre; one UV unit up is zoom pixels higher on screen.
    EXPECT_EQ(view.toScreen(view.pan), glm::vec2(300.0f, 200.0f));
    EXPECT_EQ(view.toScreen(view.pan + glm::vec2(1.0f, 1.0f)), glm::vec2(460.0f, 40.0f));
    for (const glm::vec2 uv : {glm::vec2(0.0f), glm::vec2(1.0f, -3.5f), glm::vec2(-0.125f, 7.0f)}) {
        const glm::vec2 back = view.toUv(view.toScreen(uv));
        EXPECT_NEAR(back.x, uv.x, 1e-5f);
        EXPECT_NEAR(back.y, uv.y, 1e-5f);
    }
}

TEST(UvView, WheelZoomKeepsThePointUnderTheMouseAndStaysInRange) {
    struct Case {
        float startZoom, wheel, expectedZoom;
    };
    const Case cases[] = {
        {160.0f, 1.0f, 192.0f},                               // 1.2 per notch
        {160.0f, -2.0f, 160.0f / 1.44f}, {2.5f, -5.0f, 2.0f}, // clamped below
        {190000.0f, 3.0f, 200000.0f},                         // clamped above
        {200000.0f, 1.0f, 200000.0f},                         // already at the limit: the view stays put
    };
    const glm::vec2 mouse(137.0f, 260.0f);
    for (const Case& c : cases) {
        UvView view = makeView();
        view.zoom = c.startZoom;
        const glm::vec2 anchor = view.toUv(mouse);
        view.zoomAt(mouse, c.wheel);
        EXPECT_NEAR(view.zoom, c.expectedZoom, c.expectedZoom * 1e-5f)
            << "start " << c.startZoom << " wheel " << c.wheel;
        const glm::vec2 after = view.toUv(mouse);
        EXPECT_NEAR(after.x, anchor.x, 1e-4f);
        EXPECT_NEAR(after.y, anchor.y, 1e-4f);
    }
}

TEST(UvView, PanFollowsTheMouse) {
    UvView view = makeView();
    const glm::vec2 uv(0.3f, 0.9f);
    const glm::vec2 before = view.toScreen(uv);
    view.panBy(glm::vec2(16.0f, -8.0f));
    const glm::vec2 after = view.toScreen(uv);
    EXPECT_NEAR(after.x - before.x, 16.0f, 1e-3f);
    EXPECT_NEAR(after.y - before.y, -8.0f, 1e-3f);
}

TEST(UvView, FitIncludesTheUnitSquareAndSurvivesBadBounds) {
    UvView view = makeView();
    view.fit(glm::vec2(2.0f, 0.0f), glm::vec2(4.0f, 1.0f)); // bounds grow to [0, 4] x [0, 1]
    EXPECT_EQ(view.pan, glm::vec2(2.0f, 0.5f));
    EXPECT_FLOAT_EQ(view.zoom, 0.9f * std::min(400.0f / 4.0f, 300.0f / 1.0f));

    // No UVs at all (min above max), and UVs that are not numbers: the unit square.
    for (const float bad : {-1.0f, NAN}) {
        UvView v = makeView();
        if (std::isnan(bad))
            v.fit(glm::vec2(NAN, 0.0f), glm::vec2(1.0f, INFINITY));
        else
            v.fit(glm::vec2(1e30f), glm::vec2(-1e30f));
        EXPECT_EQ(v.pan, glm::vec2(0.5f));
        EXPECT_FLOAT_EQ(v.zoom, 0.9f * 300.0f);
    }

    // A tiny canvas still gives a zoom in range.
    UvView tiny = makeView();
    tiny.canvasSize = glm::vec2(1.0f);
    tiny.fit(glm::vec2(-1000.0f), glm::vec2(1000.0f));
    EXPECT_EQ(tiny.zoom, UvView::kMinZoom);
}

} // namespace
} // namespace orva
