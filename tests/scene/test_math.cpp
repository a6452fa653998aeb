#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/math.h"

using namespace orva;

namespace {

std::string str(const glm::vec3& v) {
    std::ostringstream s;
    s << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    return s.str();
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance, const std::string& what) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << ": " << str(actual) << " vs " << str(expected);
}

// The same rotation whatever the sign: q and -q are one rotation.
void expectSameRotation(const glm::quat& a, const glm::quat& b, const std::string& what) {
    EXPECT_NEAR(std::fabs(glm::dot(a, b)), 1.0f, 1e-5f) << what;
}

// Rz * Ry * Rx built from GLM's axis rotations: an independent statement of the XYZ order.
glm::quat referenceQuat(const glm::vec3& degrees) {
    const glm::quat qx = glm::angleAxis(glm::radians(degrees.x), glm::vec3(1, 0, 0));
    const glm::quat qy = glm::angleAxis(glm::radians(degrees.y), glm::vec3(0, 1, 0));
    const glm::quat qz = glm::angleAxis(glm::radians(degrees.z), glm::vec3(0, 0, 1));
    return qz * qy * qx;
}

const glm::vec3 kEulerCases[] = {
    {0, 0, 0},    {10, 20, 30}, {-45, 60, 170}, {179, -89, -179}, {90, 0, 0},     {0, 90, 0},
    {0, -90, 45}, {0, 0, 180},  {180, 0, 0},    {-120, 35, 95},   {30, 89.5f, 0}, {0.001f, 0, 0},
};

} // namespace

TEST(Math, EulerToQuaternionMatchesAxisRotationsInXyzOrder) {
    for (const glm::vec3& e : kEulerCases) {
        const glm::quat q = eulerXYZDegreesToQuat(e);
        EXPECT_NEAR(glm::length(q), 1.0f, 1e-5f) << str(e);
        expectSameRotation(q, referenceQuat(e), "euler " + str(e));
        // The largest component is the positive one, which fixes the sign that exports write. Where
        // two components tie in magnitude (gimbal cases) either may be the chosen one.
        const float comps[4] = {q.w, q.x, q.y, q.z};
        float largest = 0.0f;
        for (float c : comps)
            largest = std::max(largest, std::fabs(c));
        bool positiveLargest = false;
        for (float c : comps)
            positiveLargest = positiveLargest || (c > 0.0f && c >= largest - 1e-6f);
        EXPECT_TRUE(positiveLargest) << "euler " << str(e) << " quat w " << q.w << " x " << q.x << " y " << q.y << " z "
                                     << q.z;
    }
}

TEST(Math, MatrixRotationMatchesAxisRotationsInXyzOrder) {
    for (const glm::vec3& e : kEulerCases) {
        Transform t;
        t.rotationEulerDeg = e;
        const glm::mat4 expected = glm::rotate(glm::mat4(1.0f), glm::radians(e.z), glm::vec3(0, 0, 1)) *
                                   glm::rotate(glm::mat4(1.0f), glm::radians(e.y), glm::vec3(0, 1, 0)) *
                                   glm::rotate(glm::mat4(1.0f), glm::radians(e.x), glm::vec3(1, 0, 0));
        const glm::mat4 m = t.matrix();
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                EXPECT_NEAR(m[c][r], expected[c][r], 1e-5f) << "euler " << str(e) << " column " << c << " row " << r;
    }
}

// Away from y = +-90 the angles come back themselves; at the poles only the rotation is kept.
TEST(Math, EulerRoundTripsThroughQuaternion) {
    for (const glm::vec3& e : kEulerCases) {
        const glm::quat q = eulerXYZDegreesToQuat(e);
        const glm::vec3 back = quatToEulerXYZDegrees(q);
        expectSameRotation(eulerXYZDegreesToQuat(back), q, "euler " + str(e) + " back " + str(back));
        if (std::fabs(e.y) < 89.0f && std::fabs(e.x) < 180.0f && std::fabs(e.z) < 180.0f)
            expectNear(back, e, 2e-3f, "round trip");
        EXPECT_GE(back.y, -90.0f);
        EXPECT_LE(back.y, 90.0f);
    }
    Transform t;
    t.setRotation(eulerXYZDegreesToQuat({10, 20, 30}));
    expectNear(t.rotationEulerDeg, {10, 20, 30}, 1e-3f, "setRotation");
    expectSameRotation(t.rotation(), referenceQuat({10, 20, 30}), "rotation()");
}

TEST(Math, QuaternionSignConventionAndDegenerateInput) {
    const glm::quat identity = eulerXYZDegreesToQuat({0, 0, 0});
    EXPECT_EQ(identity.x, 0.0f);
    EXPECT_EQ(identity.y, 0.0f);
    EXPECT_EQ(identity.z, 0.0f);
    EXPECT_EQ(identity.w, 1.0f);

    // Half a turn about z: z is chosen and positive, never -1.
    const glm::quat half = eulerXYZDegreesToQuat({0, 0, 180});
    EXPECT_NEAR(half.z, 1.0f, 1e-6f);
    EXPECT_NEAR(half.w, 0.0f, 1e-6f);

    expectNear(quatToEulerXYZDegrees(glm::quat(0, 0, 0, 0)), {0, 0, 0}, 0.0f, "zero quaternion");
    const glm::quat q = eulerXYZDegreesToQuat({10, 20, 30});
    const glm::quat scaled(q.w * 3.0f, q.x * 3.0f, q.y * 3.0f, q.z * 3.0f);
    expectNear(quatToEulerXYZDegrees(scaled), quatToEulerXYZDegrees(q), 1e-4f, "non-unit quaternion");
}

TEST(Math, FromMatrixRecoversTransforms) {
    const Transform cases[] = {
        {{1, 2, 3}, {10, 20, 30}, {2, 2, 2}},
        {{-4, 0.5f, 7}, {-60, 45, 120}, {0.5f, 3, 1.25f}},
        {{0, 0, 0}, {0, 0, 0}, {-1, 1, 1}},
        {{0, 1, 0}, {15, -30, 45}, {-2, 0.5f, 1}},
    };
    for (const Transform& in : cases) {
        Transform out;
        out.fromMatrix(in.matrix());
        expectNear(out.position, in.position, 1e-5f, "position of " + str(in.rotationEulerDeg));
        expectNear(out.rotationEulerDeg, in.rotationEulerDeg, 2e-3f, "rotation of " + str(in.rotationEulerDeg));
        expectNear(out.scale, in.scale, 1e-5f, "scale of " + str(in.rotationEulerDeg));
    }
}

// Any mirror ends up on x; the rest becomes a rotation, and the matrix is reproduced.
TEST(Math, FromMatrixPutsMirrorsOnX) {
    struct Case {
        glm::vec3 scale;
        glm::vec3 expectedScale;
        glm::vec3 expectedRotation;
    };
    const Case cases[] = {
        {{-1, 1, 1}, {-1, 1, 1}, {0, 0, 0}},
        {{1, -1, 1}, {-1, 1, 1}, {0, 0, -180}},
        {{-2, 3, 4}, {-2, 3, 4}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const glm::mat4 m = glm::scale(glm::mat4(1.0f), c.scale);
        Transform t;
        t.fromMatrix(m);
        expectNear(t.scale, c.expectedScale, 1e-6f, "scale of " + str(c.scale));
        expectNear(t.rotationEulerDeg, c.expectedRotation, 1e-4f, "rotation of " + str(c.scale));
    }
    // Mirrors in y or z with a rotation still rebuild the same matrix.
    for (const glm::vec3 scale : {glm::vec3(1, -1, 1), glm::vec3(1, 1, -1), glm::vec3(-1, -1, -1)}) {
        Transform in;
        in.rotationEulerDeg = {20, -35, 50};
        const glm::mat4 m = in.matrix() * glm::scale(glm::mat4(1.0f), scale);
        Transform out;
        out.fromMatrix(m);
        EXPECT_LT(out.scale.x, 0.0f) << str(scale);
        const glm::mat4 rebuilt = out.matrix();
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                EXPECT_NEAR(rebuilt[c][r], m[c][r], 1e-5f) << "mirror " << str(scale);
    }
}

// A collapsed axis has no direction to read: (0, 1, 0) stands in, so a pure y rotation survives.
TEST(Math, FromMatrixWithZeroColumn) {
    Transform in;
    in.rotationEulerDeg = {0, 30, 0};
    in.scale = {2, 0, 3};
    Transform out;
    out.fromMatrix(in.matrix());
    EXPECT_EQ(out.scale.y, 0.0f);
    expectNear(out.scale, {2, 0, 3}, 1e-6f, "scale");
    expectNear(out.rotationEulerDeg, {0, 30, 0}, 1e-3f, "rotation");
}

TEST(Math, FromMatrixOfIdentityIsExact) {
    Transform t;
    t.position = {5, 5, 5};
    t.rotationEulerDeg = {1, 2, 3};
    t.scale = {4, 4, 4};
    t.fromMatrix(glm::mat4(1.0f));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.position[i], 0.0f) << i;
        EXPECT_EQ(t.rotationEulerDeg[i], 0.0f) << i;
        EXPECT_FALSE(std::signbit(t.rotationEulerDeg[i])) << "rotation axis " << i << " is -0";
        EXPECT_EQ(t.scale[i], 1.0f) << i;
    }
    // Tiny noise is cleaned up too: near-unit scales become 1, near-zero angles +0.
    glm::mat4 noisy(1.0f);
    noisy[0][0] = 1.0f + 5e-7f;
    noisy[0][1] = -1e-9f; // a z rotation of about -6e-8 degrees
    t.fromMatrix(noisy);
    EXPECT_EQ(t.scale.x, 1.0f);
    EXPECT_FALSE(std::signbit(t.rotationEulerDeg.z));
    EXPECT_EQ(t.rotationEulerDeg.z, 0.0f);
}

TEST(Math, RayTriangleIntersection) {
    // Counter-clockwise seen from +Z.
    const glm::vec3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    struct Case {
        const char* what;
        Ray ray;
        float t;
    };
    const Case cases[] = {
        {"front, inside", {{0.25f, 0.25f, 1}, {0, 0, -1}}, 1.0f},
        {"from behind (no culling)", {{0.25f, 0.25f, -1}, {0, 0, 1}}, 1.0f},
        {"through corner a", {{0, 0, 1}, {0, 0, -1}}, 1.0f},
        {"through corner b", {{1, 0, 1}, {0, 0, -1}}, 1.0f},
        {"on edge u + v = 1", {{0.5f, 0.5f, 1}, {0, 0, -1}}, 1.0f},
        {"on edge v = 0", {{0.5f, 0, 1}, {0, 0, -1}}, 1.0f},
        {"triangle behind origin", {{0.25f, 0.25f, -2}, {0, 0, -1}}, -2.0f},
        {"non-unit direction", {{0.25f, 0.25f, 1}, {0, 0, -4}}, 0.25f},
        {"outside beyond hypotenuse", {{0.6f, 0.6f, 1}, {0, 0, -1}}, -1.0f},
        {"outside u < 0", {{-0.1f, 0.5f, 1}, {0, 0, -1}}, -1.0f},
        {"parallel to the plane", {{0.25f, 0.25f, 1}, {1, 0, 0}}, -1.0f},
        {"parallel, in the plane", {{-1, 0.25f, 0}, {1, 0, 0}}, -1.0f},
        {"zero direction", {{0.25f, 0.25f, 1}, {0, 0, 0}}, -1.0f},
    };
    for (const Case& tc : cases)
        EXPECT_NEAR(intersectRayTriangle(tc.ray, a, b, c), tc.t, 1e-6f) << tc.what;
}

TEST(Math, DistanceToSegment2D) {
    struct Case {
        glm::vec2 p, a, b;
        float distance2, t;
    };
    const Case cases[] = {
        {{3, 4}, {0, 0}, {0, 0}, 25.0f, 0.0f},   // degenerate segment: squared, not 5
        {{3, 1}, {0, 0}, {1, 0}, 5.0f, 1.0f},    // beyond b
        {{-2, 0}, {0, 0}, {1, 0}, 4.0f, 0.0f},   // before a
        {{0.5f, 2}, {0, 0}, {1, 0}, 4.0f, 0.5f}, // beside the middle
        {{1, 1}, {0, 0}, {2, 2}, 0.0f, 0.5f},    // on the segment
    };
    for (const Case& c : cases) {
        float t = -7.0f;
        EXPECT_FLOAT_EQ(distanceToSegment2D(c.p, c.a, c.b, &t), c.distance2) << c.p.x << ", " << c.p.y;
        EXPECT_FLOAT_EQ(t, c.t) << c.p.x << ", " << c.p.y;
        EXPECT_FLOAT_EQ(distanceToSegment2D(c.p, c.a, c.b), c.distance2) << "without t";
    }
}
