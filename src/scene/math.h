#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

// The small math vocabulary shared by the scene model, picking, the exporters and the panels.
// Single-precision GLM types: mat4 is column-major and acts on column vectors; quat is (x, y, z, w).
// World space is right-handed, +Y up, metres. Nothing here allocates, fails or keeps state.
namespace orva {

// Degrees to radians and back, with the exact float factors the scene file round trips rely on.
inline constexpr float kDegToRad = 0.017453292f;
inline constexpr float kRadToDeg = 57.29578f;

// A half-line in world space. Picking keeps `direction` unit length; intersectRayTriangle does not
// need that (its t is then in multiples of the direction's length).
struct Ray {
    glm::vec3 origin{0.0f};
    glm::vec3 direction{0.0f, 0.0f, -1.0f};
};

// An axis-aligned box. The empty box (what Mesh::bounds returns without vertices) has every min
// component larger than its max component.
struct AABB {
    glm::vec3 min{1e30f};
    glm::vec3 max{-1e30f};
};

// Local placement of a scene object relative to its parent. Rotation is stored only as XYZ Euler
// angles in degrees: R = Rz(z) * Ry(y) * Rx(x). A mirrored matrix is represented by a negative x scale.
struct Transform {
    glm::vec3 position{0.0f};
    glm::vec3 rotationEulerDeg{0.0f};
    glm::vec3 scale{1.0f};

    // The quaternion of rotationEulerDeg, computed on every call.
    glm::quat rotation() const;
    // Sets rotationEulerDeg from q (no snapping of small values).
    void setRotation(const glm::quat& q);
    // T * R * S.
    glm::mat4 matrix() const;
    // Replaces all three fields by the decomposition of m. Shear is lost; a negative determinant
    // becomes a negative x scale; angles below 1e-4 degrees become +0 and scales within 1e-6 of 1
    // become exactly 1.
    void fromMatrix(const glm::mat4& m);
};

// Two-sided Moller-Trumbore. Returns the ray parameter t of the hit (which may be zero or negative
// for a triangle behind the origin), or -1 when the ray's line misses the triangle or is parallel to
// it. Edges and corners count as hits. Callers accept only t > 0.
float intersectRayTriangle(const Ray& ray, const glm::vec3& a, const glm::vec3& b, const glm::vec3& c);

// Squared distance from p to the segment a-b; `t` (when given) receives the clamped parameter of the
// closest point, 0 at a and 1 at b (0 for a degenerate segment).
float distanceToSegment2D(const glm::vec2& p, const glm::vec2& a, const glm::vec2& b, float* t = nullptr);

// XYZ Euler degrees to a unit quaternion. The largest of w, x, y, z is chosen positive (ties keep the
// earlier one in the order w, x, y, z), which fixes the sign that exports write.
glm::quat eulerXYZDegreesToQuat(const glm::vec3& degrees);

// Quaternion (normalised first; zero length counts as identity) to XYZ Euler degrees with x and z in
// (-180, 180] and y in [-90, 90]. At y = +-90 the remaining rotation is expressed in x alone.
glm::vec3 quatToEulerXYZDegrees(const glm::quat& q);

} // namespace orva
