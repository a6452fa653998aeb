#include "scene/orbit_camera.h"

#include <cmath>

#include <gtest/gtest.h>

namespace orva {
namespace {

constexpr float kDeg = 3.14159265358979f / 180.0f;

TEST(OrbitCamera, DefaultPositionFollowsYawAndPitch) {
    OrbitCamera cam;
    const glm::vec3 expected(12 * std::cos(28 * kDeg) * std::sin(45 * kDeg), 12 * std::sin(28 * kDeg),
                             12 * std::cos(28 * kDeg) * std::cos(45 * kDeg));
    const glm::vec3 p = cam.position();
    EXPECT_NEAR(p.x, expected.x, 1e-4f);
    EXPECT_NEAR(p.y, expected.y, 1e-4f);
    EXPECT_NEAR(p.z, expected.z, 1e-4f);
    EXPECT_NEAR(glm::length(cam.forward()), 1.0f, 1e-5f);
    EXPECT_GT(cam.up().y, 0.0f);
}

TEST(OrbitCamera, OrbitWrapsYawAndClampsPitch) {
    struct Case {
        float yaw, pitch, dYaw, dPitch, wantYaw, wantPitch;
    };
    const Case cases[] = {
        {45, 28, 0, 100, 45, 89.5f},   // pitch clamps at the top
        {45, 28, 0, -200, 45, -89.5f}, // and at the bottom
        {45, 28, 350, 0, 35, 28},      // yaw wraps past 360
        {0, 28, -400, 0, -40, 28},     // a negative sum keeps its sign
    };
    for (const Case& c : cases) {
        OrbitCamera cam;
        cam.yawDeg = c.yaw;
        cam.pitchDeg = c.pitch;
        cam.orbit(c.dYaw, c.dPitch);
        EXPECT_NEAR(cam.yawDeg, c.wantYaw, 1e-4f) << "yaw " << c.yaw << " + " << c.dYaw;
        EXPECT_NEAR(cam.pitchDeg, c.wantPitch, 1e-4f) << "pitch " << c.pitch << " + " << c.dPitch;
    }
}

TEST(OrbitCamera, SetViewKeepsYawAndClampsPitch) {
    OrbitCamera cam;
    cam.setView(400.0f, 95.0f);
    EXPECT_EQ(cam.yawDeg, 400.0f);
    EXPECT_EQ(cam.pitchDeg, 89.5f);
}

TEST(OrbitCamera, ZoomStaysWithinLimits) {
    OrbitCamera cam;
    cam.zoom(1.0f);
    EXPECT_NEAR(cam.distance, 12.0f * 0.88f, 1e-4f);
    cam.zoom(10000.0f);
    EXPECT_EQ(cam.distance, 0.01f);
    cam.zoom(-100000.0f);
    EXPECT_EQ(cam.distance, 100000.0f);
}

TEST(OrbitCamera, FrameCentresOnValidBoxesOnly) {
    OrbitCamera cam;
    cam.frame(AABB{glm::vec3(1, 2, 3), glm::vec3(1, 2, 3)}); // a single point: the radius floor applies
    EXPECT_EQ(cam.target, glm::vec3(1, 2, 3));
    EXPECT_NEAR(cam.distance, 0.005f / std::sin(25 * kDeg) * 1.1f, 1e-6f);

    OrbitCamera untouched;
    untouched.frame(AABB{}); // the empty box of a mesh without vertices
    EXPECT_EQ(untouched.target, glm::vec3(0));
    EXPECT_EQ(untouched.distance, 12.0f);
}

TEST(OrbitCamera, ClipPlanesAndDegenerateAspect) {
    OrbitCamera cam;
    cam.distance = 0.1f;
    EXPECT_FLOAT_EQ(cam.nearPlane(), 0.001f);
    EXPECT_FLOAT_EQ(cam.farPlane(), 1000.0f);
    EXPECT_EQ(cam.projection(0.0f), cam.projection(0.001f));
    cam.orthographic = true;
    EXPECT_FLOAT_EQ(cam.nearPlane(), -5.0f);
    EXPECT_FLOAT_EQ(cam.farPlane(), 5.0f);
}

TEST(OrbitCamera, CentreRayGoesThroughTheTargetInBothProjections) {
    for (bool ortho : {false, true}) {
        OrbitCamera cam;
        cam.target = glm::vec3(1, 2, 3);
        cam.orthographic = ortho;
        const Ray ray = cam.rayFromNdc(glm::vec2(0), 1.5f);
        EXPECT_NEAR(glm::dot(ray.direction, cam.forward()), 1.0f, 1e-4f) << "ortho " << ortho;
        // The closest point of the ray to the target is the target itself.
        const float t = glm::dot(cam.target - ray.origin, ray.direction);
        EXPECT_LT(glm::length(ray.origin + t * ray.direction - cam.target), 1e-3f) << "ortho " << ortho;
    }
}

TEST(OrbitCamera, PanMovesTheTargetAlongTheViewPlane) {
    OrbitCamera cam;
    cam.yawDeg = 0.0f; // right() is +x
    const float pixel = 2.0f * cam.distance * std::tan(25 * kDeg) / 500.0f;
    cam.pan(10.0f, 0.0f, 500.0f);
    EXPECT_NEAR(cam.target.x, -10.0f * pixel, 1e-5f);
    EXPECT_NEAR(cam.target.y, 0.0f, 1e-6f);
}

} // namespace
} // namespace orva
