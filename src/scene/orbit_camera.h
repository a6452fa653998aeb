#pragma once

#include "scene/math.h"

// The editor's view camera: a point of interest seen from `distance` along a yaw/pitch direction.
// The document owns one, the scene file stores its six fields under these names, the renderer takes
// its matrices and picking casts rays through it. Angles in degrees; derived values are computed on
// demand, nothing is cached.
namespace orva {

struct OrbitCamera {
    glm::vec3 target{0.0f};
    float distance = 12.0f; // kept within [0.01, 100000] by zoom
    float yawDeg = 45.0f;   // about +Y; 0 puts the eye on the +Z side of the target
    float pitchDeg = 28.0f; // kept within [-89.5, 89.5] by orbit and setView
    float fovDeg = 50.0f;   // vertical; also sizes the orthographic view
    bool orthographic = false;

    glm::vec3 position() const;
    glm::vec3 forward() const; // unit, eye to target
    glm::vec3 right() const;   // never tilts
    glm::vec3 up() const;      // always has a positive y (the pitch never reaches 90)
    glm::mat4 view() const;
    // Orthographic views use a negative near plane so geometry behind the eye still shows.
    float nearPlane() const;
    float farPlane() const;
    // Depth mapped to [-1, 1]; aspect (width / height) is raised to at least 0.001. The orthographic
    // view shows the same height at the target as the perspective one, so switching keeps the framing.
    glm::mat4 projection(float aspect) const;

    // Yaw wraps with fmod (stays within (-360, 360)); pitch is clamped.
    void orbit(float dYawDeg, float dPitchDeg);
    // Slides the target by a pixel offset: dx to the right moves the scene right under the cursor.
    void pan(float dx, float dy, float viewportHeight);
    // Positive steps move closer, by a factor 0.88 each.
    void zoom(float steps);
    // Centres on a valid box and backs off to fit it; an empty or inverted box changes nothing.
    void frame(const AABB& box);
    // Yaw as given (no wrap), pitch clamped; target, distance and projection stay.
    void setView(float yawDeg, float pitchDeg);
    // World-space ray through a point in normalised device coordinates, starting on the near plane.
    Ray rayFromNdc(const glm::vec2& ndc, float aspect) const;
};

} // namespace orva
