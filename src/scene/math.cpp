#include "scene/math.h"

#include <cmath>

namespace orva {

namespace {

// R = Rz * Ry * Rx as a row-major 3x3 array: r[row][col].
struct Rot3 {
    float r[3][3];
};

Rot3 rotationFromEuler(const glm::vec3& degrees) {
    const float x = degrees.x * kDegToRad, y = degrees.y * kDegToRad, z = degrees.z * kDegToRad;
    const float cx = std::cos(x), sx = std::sin(x);
    const float cy = std::cos(y), sy = std::sin(y);
    const float cz = std::cos(z), sz = std::sin(z);
    Rot3 m;
    m.r[0][0] = cy * cz;
    m.r[0][1] = sx * sy * cz - cx * sz;
    m.r[0][2] = cx * sy * cz + sx * sz;
    m.r[1][0] = cy * sz;
    m.r[1][1] = sx * sy * sz + cx * cz;
    m.r[1][2] = cx * sy * sz - sx * cz;
    m.r[2][0] = -sy;
    m.r[2][1] = sx * cy;
    m.r[2][2] = cx * cy;
    return m;
}

// Euler angles (degrees) of a rotation matrix: z first, then y, then x from the z-compensated rows.
glm::vec3 eulerFromRotation(const Rot3& m) {
    const float z = std::atan2(m.r[1][0], m.r[0][0]);
    const float y = std::atan2(-m.r[2][0], std::sqrt(m.r[2][1] * m.r[2][1] + m.r[2][2] * m.r[2][2]));
    const float sz = std::sin(z), cz = std::cos(z);
    const float x = std::atan2(m.r[0][2] * sz - m.r[1][2] * cz, m.r[1][1] * cz - m.r[0][1] * sz);
    return glm::vec3(x, y, z) * kRadToDeg;
}

} // namespace

glm::quat Transform::rotation() const { return eulerXYZDegreesToQuat(rotationEulerDeg); }

void Transform::setRotation(const glm::quat& q) { rotationEulerDeg = quatToEulerXYZDegrees(q); }

glm::mat4 Transform::matrix() const {
    const Rot3 r = rotationFromEuler(rotationEulerDeg);
    glm::mat4 m(1.0f);
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            m[c][row] = r.r[row][c] * scale[c];
    m[3] = glm::vec4(position, 1.0f);
    return m;
}

void Transform::fromMatrix(const glm::mat4& m) {
    const glm::vec3 c0(m[0]), c1(m[1]), c2(m[2]);
    position = glm::vec3(m[3]);
    scale = glm::vec3(glm::length(c0), glm::length(c1), glm::length(c2));
    if (glm::determinant(glm::mat3(c0, c1, c2)) < 0.0f)
        scale.x = -scale.x;

    const glm::vec3 r0 = std::fabs(scale.x) > 1e-12f ? c0 / scale.x : glm::vec3(1, 0, 0);
    const glm::vec3 r1 = std::fabs(scale.y) > 1e-12f ? c1 / scale.y : glm::vec3(0, 1, 0);
    const glm::vec3 r2 = std::fabs(scale.z) > 1e-12f ? c2 / scale.z : glm::vec3(0, 0, 1);
    Rot3 rot;
    for (int row = 0; row < 3; ++row) {
        rot.r[row][0] = r0[row];
        rot.r[row][1] = r1[row];
        rot.r[row][2] = r2[row];
    }
    rotationEulerDeg = eulerFromRotation(rot);

    // Clean-up so that editing an untouched object never shows -0 or 0.99999994.
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(rotationEulerDeg[i]) < 1e-4f)
            rotationEulerDeg[i] = 0.0f;
        if (std::fabs(scale[i] - 1.0f) <= 1e-6f)
            scale[i] = 1.0f;
    }
}

float intersectRayTriangle(const Ray& ray, const glm::vec3& a, const glm::vec3& b, const glm::vec3& c) {
    const glm::vec3 e1 = b - a, e2 = c - a;
    const glm::vec3 p = glm::cross(ray.direction, e2);
    const float det = glm::dot(e1, p);
    if (std::fabs(det) < 1e-9f)
        return -1.0f;
    const float inv = 1.0f / det;
    const glm::vec3 s = ray.origin - a;
    const float u = glm::dot(s, p) * inv;
    if (u < 0.0f || u > 1.0f)
        return -1.0f;
    const glm::vec3 q = glm::cross(s, e1);
    const float v = glm::dot(ray.direction, q) * inv;
    if (v < 0.0f || u + v > 1.0f)
        return -1.0f;
    return glm::dot(e2, q) * inv;
}

float distanceToSegment2D(const glm::vec2& p, const glm::vec2& a, const glm::vec2& b, float* t) {
    const glm::vec2 d = b - a;
    const float len2 = glm::dot(d, d);
    float s = len2 <= 0.0f ? 0.0f : glm::dot(p - a, d) / len2;
    s = s < 0.0f ? 0.0f : (s > 1.0f ? 1.0f : s);
    if (t)
        *t = s;
    const glm::vec2 e = p - (a + s * d);
    return glm::dot(e, e);
}

glm::quat eulerXYZDegreesToQuat(const glm::vec3& degrees) {
    const Rot3 m = rotationFromEuler(degrees);
    const float (&r)[3][3] = m.r;
    const float cand[4] = {
        r[0][0] + r[1][1] + r[2][2], // w
        r[0][0] - r[1][1] - r[2][2], // x
        r[1][1] - r[0][0] - r[2][2], // y
        r[2][2] - r[0][0] - r[1][1], // z
    };
    int chosen = 0;
    for (int i = 1; i < 4; ++i)
        if (cand[i] > cand[chosen])
            chosen = i;
    const float big = std::sqrt(cand[chosen] + 1.0f) * 0.5f;
    const float k = 0.25f / big;
    switch (chosen) {
    case 0:
        return glm::quat(big, (r[2][1] - r[1][2]) * k, (r[0][2] - r[2][0]) * k, (r[1][0] - r[0][1]) * k);
    case 1:
        return glm::quat((r[2][1] - r[1][2]) * k, big, (r[1][0] + r[0][1]) * k, (r[0][2] + r[2][0]) * k);
    case 2:
        return glm::quat((r[0][2] - r[2][0]) * k, (r[1][0] + r[0][1]) * k, big, (r[2][1] + r[1][2]) * k);
    default:
        return glm::quat((r[1][0] - r[0][1]) * k, (r[0][2] + r[2][0]) * k, (r[2][1] + r[1][2]) * k, big);
    }
}

glm::vec3 quatToEulerXYZDegrees(const glm::quat& input) {
    const float len = std::sqrt(input.x * input.x + input.y * input.y + input.z * input.z + input.w * input.w);
    glm::quat q = len > 0.0f ? glm::quat(input.w / len, input.x / len, input.y / len, input.z / len)
                             : glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Rot3 m;
    m.r[0][0] = 1 - 2 * (y * y + z * z);
    m.r[1][0] = 2 * (x * y + z * w);
    m.r[2][0] = 2 * (x * z - y * w);
    m.r[0][1] = 2 * (x * y - z * w);
    m.r[1][1] = 1 - 2 * (x * x + z * z);
    m.r[2][1] = 2 * (y * z + x * w);
    m.r[0][2] = 2 * (x * z + y * w);
    m.r[1][2] = 2 * (y * z - x * w);
    m.r[2][2] = 1 - 2 * (x * x + y * y);
    return eulerFromRotation(m);
}

} // namespace orva
