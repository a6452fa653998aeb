#include "scene/orbit_camera.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

namespace orva {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kMinPitch = -89.5f, kMaxPitch = 89.5f;

float radians(float degrees) { return degrees * kPi / 180.0f; }

} // namespace

glm::vec3 OrbitCamera::position() const {
    const float y = radians(yawDeg), p = radians(pitchDeg);
    return target + distance * glm::vec3(std::sin(y) * std::cos(p), std::sin(p), std::cos(y) * std::cos(p));
}

glm::vec3 OrbitCamera::forward() const { return glm::normalize(target - position()); }

glm::vec3 OrbitCamera::right() const {
    const float y = radians(yawDeg);
    return glm::vec3(std::cos(y), 0.0f, -std::sin(y));
}

glm::vec3 OrbitCamera::up() const { return glm::normalize(glm::cross(right(), forward())); }

glm::mat4 OrbitCamera::view() const { return glm::lookAtRH(position(), target, up()); }

float OrbitCamera::nearPlane() const {
    return orthographic ? -50.0f * distance : std::max(distance * 0.005f, 0.001f);
}

float OrbitCamera::farPlane() const { return orthographic ? 50.0f * distance : std::max(distance * 100.0f, 1000.0f); }

glm::mat4 OrbitCamera::projection(float aspect) const {
    aspect = std::max(aspect, 0.001f);
    if (orthographic) {
        const float h = std::tan(radians(fovDeg) * 0.5f) * distance;
        const float w = aspect * h;
        return glm::orthoRH_NO(-w, w, -h, h, nearPlane(), farPlane());
    }
    return glm::perspectiveRH_NO(radians(fovDeg), aspect, nearPlane(), farPlane());
}

void OrbitCamera::orbit(float dYawDeg, float dPitchDeg) {
    yawDeg = std::fmod(yawDeg + dYawDeg, 360.0f);
    pitchDeg = std::clamp(pitchDeg + dPitchDeg, kMinPitch, kMaxPitch);
}

void OrbitCamera::pan(float dx, float dy, float viewportHeight) {
    // World size of one pixel at the target's depth; the same in both projections.
    const float k = 2.0f * distance * std::tan(radians(fovDeg) * 0.5f) / std::max(viewportHeight, 1.0f);
    target -= right() * dx * k;
    target += up() * dy * k;
}

void OrbitCamera::zoom(float steps) { distance = std::clamp(distance * std::pow(0.88f, steps), 0.01f, 100000.0f); }

void OrbitCamera::frame(const AABB& box) {
    if (!(box.min.x <= box.max.x && box.min.y <= box.max.y && box.min.z <= box.max.z))
        return;
    target = (box.min + box.max) * 0.5f;
    const float r = std::max(glm::length(box.max - box.min) * 0.5f, 0.005f);
    distance = r / std::sin(radians(fovDeg) * 0.5f) * 1.1f;
}

void OrbitCamera::setView(float yaw, float pitch) {
    yawDeg = yaw;
    pitchDeg = std::clamp(pitch, kMinPitch, kMaxPitch);
}

Ray OrbitCamera::rayFromNdc(const glm::vec2& ndc, float aspect) const {
    const glm::mat4 inv = glm::inverse(projection(aspect) * view());
    glm::vec4 nearPoint = inv * glm::vec4(ndc.x, ndc.y, -1.0f, 1.0f);
    glm::vec4 farPoint = inv * glm::vec4(ndc.x, ndc.y, 1.0f, 1.0f);
    const glm::vec3 n = glm::vec3(nearPoint) / nearPoint.w;
    const glm::vec3 f = glm::vec3(farPoint) / farPoint.w;
    return Ray{n, glm::normalize(f - n)};
}

} // namespace orva
