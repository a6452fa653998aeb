#include "document/picking.h"

#include "scene/orbit_camera.h"
#include "scene/primitives.h"
#include "scene/scene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace orva {
namespace {

// [SECTION] Helpers

constexpr float kInf = std::numeric_limits<float>::infinity();
const glm::vec2 kSize(800.0f, 600.0f);

PickView viewOf(const OrbitCamera& cam, glm::vec2 size = kSize) {
    PickView v;
    v.view = cam.view();
    v.proj = cam.projection(size.x / std::max(size.y, 1.0f));
    v.size = size;
    return v;
}

// Eye at (0, 0, distance) looking down -z at the origin.
OrbitCamera frontCamera(float distance = 10.0f, bool ortho = false) {
    OrbitCamera cam;
    cam.distance = distance;
    cam.setView(0.0f, 0.0f);
    cam.orthographic = ortho;
    return cam;
}

glm::vec2 screenOf(const PickView& view, const glm::vec3& p) {
    glm::vec2 s(-1.0f);
    EXPECT_TRUE(view.project(p, s)) << "fixture point does not project";
    return s;
}

std::string str(const std::vector<uint32_t>& v) {
    std::ostringstream s;
    s << "[";
    for (size_t i = 0; i < v.size(); ++i)
        s << (i ? " " : "") << v[i];
    s << "]";
    return s.str();
}

Mesh quad(float z, float half) {
    Mesh m;
    m.addVertex({-half, -half, z});
    m.addVertex({half, -half, z});
    m.addVertex({half, half, z});
    m.addVertex({-half, half, z});
    m.addFace({0, 1, 2, 3});
    return m;
}

// [SECTION] Reference: the plain loops, every triangle tested in order for every ray

namespace ref {

glm::vec3 toWorld(const glm::mat4& w, const glm::vec3& p) { return glm::vec3(w * glm::vec4(p, 1.0f)); }

// Every vertex transformed by the world matrix and every face triangulated, in face order. Made
// once per query rather than once per ray, which changes nothing but the test's running time.
struct WorldTriangles {
    std::vector<glm::vec3> points;
    std::vector<std::array<uint32_t, 3>> corners;
    std::vector<uint32_t> faces;

    WorldTriangles(const Mesh& mesh, const glm::mat4& w) {
        for (const Vertex& v : mesh.vertices)
            points.push_back(toWorld(w, v.position));
        for (uint32_t f = 0; f < mesh.faces.size(); ++f) {
            const std::vector<uint32_t>& idx = mesh.faces[f].indices;
            if (std::any_of(idx.begin(), idx.end(), [&](uint32_t i) { return i >= points.size(); }))
                continue;
            for (const auto& tri : mesh.triangulateFace(f)) {
                corners.push_back({idx[tri[0]], idx[tri[1]], idx[tri[2]]});
                faces.push_back(f);
            }
        }
    }
};

float rayMeshDistance(const WorldTriangles& mesh, const Ray& ray, uint32_t* face = nullptr) {
    float best = kInf;
    for (size_t k = 0; k < mesh.corners.size(); ++k) {
        const auto& c = mesh.corners[k];
        const float t = intersectRayTriangle(ray, mesh.points[c[0]], mesh.points[c[1]], mesh.points[c[2]]);
        if (t > 0.0f && t < best) {
            best = t;
            if (face)
                *face = mesh.faces[k];
        }
    }
    return best;
}

bool visible(const WorldTriangles& mesh, const PickView& view, const glm::vec3& p) {
    glm::vec2 s;
    if (!view.project(p, s))
        return false;
    const Ray r = view.ray(s);
    const float tP = glm::dot(p - r.origin, r.direction);
    const float h = rayMeshDistance(mesh, r);
    return !(tP - std::max(0.001f * tP, 1e-4f) > h);
}

bool inRect(const glm::vec2& s, const glm::vec2& c1, const glm::vec2& c2) {
    const glm::vec2 lo = glm::min(c1, c2), hi = glm::max(c1, c2);
    return s.x >= lo.x && s.x <= hi.x && s.y >= lo.y && s.y <= hi.y;
}

uint32_t pickObject(const Scene& scene, const PickView& view, const glm::vec2& s, float radius) {
    const Ray r = view.ray(s);
    float best = kInf;
    uint32_t result = kInvalidObject;
    for (const auto& obj : scene.objects) {
        if (!obj->visible)
            continue;
        const glm::mat4 w = scene.worldMatrix(obj->id);
        float d = kInf;
        if (obj->type == ObjectType::Mesh && obj->mesh) {
            d = rayMeshDistance(WorldTriangles(*obj->mesh, w), r);
        } else {
            const glm::vec3 origin(w[3]);
            glm::vec2 sp;
            if (view.project(origin, sp) && glm::length(sp - s) <= radius)
                d = glm::dot(origin - r.origin, r.direction);
        }
        if (d < best) {
            best = d;
            result = obj->id;
        }
    }
    return result;
}

std::vector<uint32_t> objectsInRect(const Scene& scene, const PickView& view, const glm::vec2& c1,
                                    const glm::vec2& c2) {
    std::vector<uint32_t> result;
    for (const auto& obj : scene.objects) {
        if (!obj->visible)
            continue;
        const glm::mat4 w = scene.worldMatrix(obj->id);
        glm::vec2 s;
        bool taken = false;
        if (obj->type == ObjectType::Mesh && obj->mesh) {
            for (const Vertex& v : obj->mesh->vertices)
                if (view.project(toWorld(w, v.position), s) && inRect(s, c1, c2)) {
                    taken = true;
                    break;
                }
        } else {
            taken = view.project(glm::vec3(w[3]), s) && inRect(s, c1, c2);
        }
        if (taken)
            result.push_back(obj->id);
    }
    return result;
}

// Each query below takes the mesh's WorldTriangles when the caller already has them (same floats).
std::optional<uint32_t> pickVertex(const MeshPickContext& ctx, const PickView& view, const glm::vec2& s, float radius,
                                   const WorldTriangles* pre = nullptr) {
    if (ctx.mesh->vertices.empty())
        return std::nullopt;
    std::optional<WorldTriangles> own;
    const WorldTriangles& world = pre ? *pre : own.emplace(*ctx.mesh, ctx.world);
    float bestD2 = radius * radius, bestDepth = kInf;
    std::optional<uint32_t> found;
    for (uint32_t i = 0; i < ctx.mesh->vertices.size(); ++i) {
        const glm::vec3 p = world.points[i];
        glm::vec2 sp;
        float depth;
        if (!view.project(p, sp, &depth))
            continue;
        const float d2 = glm::dot(sp - s, sp - s);
        bool candidate = false;
        if (bestD2 - 0.001f > d2)
            candidate = true;
        else if (std::fabs(d2 - bestD2) <= 0.001f)
            candidate = depth < bestDepth;
        if (!candidate || (!ctx.xray && !visible(world, view, p)))
            continue;
        found = i;
        bestDepth = depth;
        bestD2 = d2;
    }
    return found;
}

std::optional<Edge> pickEdge(const MeshPickContext& ctx, const PickView& view, const glm::vec2& s, float radius,
                             const WorldTriangles* pre = nullptr) {
    std::optional<WorldTriangles> own;
    const WorldTriangles& world = pre ? *pre : own.emplace(*ctx.mesh, ctx.world);
    float bestD2 = radius * radius;
    std::optional<Edge> found;
    const size_t n = ctx.mesh->vertices.size();
    for (const Edge& e : ctx.mesh->edges()) {
        if (e.a >= n || e.b >= n)
            continue;
        const glm::vec3 a = world.points[e.a], b = world.points[e.b];
        glm::vec2 sa, sb;
        if (!view.project(a, sa) || !view.project(b, sb))
            continue;
        float t;
        const float d2 = distanceToSegment2D(s, sa, sb, &t);
        if (!(d2 < bestD2))
            continue;
        if (!ctx.xray && !visible(world, view, a * (1.0f - t) + b * t))
            continue;
        found = e;
        bestD2 = d2;
    }
    return found;
}

std::optional<uint32_t> pickFace(const MeshPickContext& ctx, const PickView& view, const glm::vec2& s,
                                 const WorldTriangles* pre = nullptr) {
    std::optional<WorldTriangles> own;
    uint32_t face = 0;
    if (rayMeshDistance(pre ? *pre : own.emplace(*ctx.mesh, ctx.world), view.ray(s), &face) < kInf)
        return face;
    return std::nullopt;
}

std::vector<uint32_t> verticesInRect(const MeshPickContext& ctx, const PickView& view, const glm::vec2& c1,
                                     const glm::vec2& c2, const WorldTriangles* pre = nullptr) {
    std::optional<WorldTriangles> own;
    const WorldTriangles& world = pre ? *pre : own.emplace(*ctx.mesh, ctx.world);
    std::vector<uint32_t> result;
    for (uint32_t i = 0; i < ctx.mesh->vertices.size(); ++i) {
        const glm::vec3 p = world.points[i];
        glm::vec2 s;
        if (!view.project(p, s) || !inRect(s, c1, c2))
            continue;
        if (ctx.xray || visible(world, view, p))
            result.push_back(i);
    }
    return result;
}

} // namespace ref

// [SECTION] View

TEST(PickView, ProjectsAndCastsBackThroughThePoint) {
    const PickView view = viewOf(frontCamera());
    glm::vec2 s;
    float depth = 2.0f;
    ASSERT_TRUE(view.project({0, 0, 0}, s, &depth));
    EXPECT_NEAR(s.x, 400.0f, 1e-3f);
    EXPECT_NEAR(s.y, 300.0f, 1e-3f);
    EXPECT_GT(depth, -1.0f);
    EXPECT_LT(depth, 1.0f);
    // Up in the world is up on screen: smaller y.
    ASSERT_TRUE(view.project({0, 1, 0}, s));
    EXPECT_LT(s.y, 300.0f);

    const glm::vec3 p(1.5f, -0.7f, 2.0f);
    ASSERT_TRUE(view.project(p, s));
    const Ray r = view.ray(s);
    EXPECT_NEAR(glm::length(r.direction), 1.0f, 1e-5f);
    const glm::vec3 closest = r.origin + r.direction * glm::dot(p - r.origin, r.direction);
    EXPECT_LT(glm::length(closest - p), 1e-4f);
}

TEST(PickView, PointsAtOrBehindTheEyeDoNotProject) {
    const PickView view = viewOf(frontCamera());
    glm::vec2 s(-5.0f);
    EXPECT_FALSE(view.project({0, 0, 10}, s)) << "at the eye";
    EXPECT_FALSE(view.project({0, 0, 11}, s)) << "behind the eye";
    EXPECT_EQ(s, glm::vec2(-5.0f)) << "nothing written for a point behind the eye";
    // Beyond the far plane (1000): the screen point is written, but it does not project.
    EXPECT_FALSE(view.project({0, 0, -2000}, s));
    EXPECT_NEAR(s.x, 400.0f, 1e-2f);
}

// [SECTION] Objects

// A cube at the origin and a point light; the camera looks down -z from z = 10.
struct ObjectScene {
    Scene scene;
    uint32_t cube = 0, light = 0;

    explicit ObjectScene(float lightZ) {
        SceneObject* c = scene.createObject(ObjectType::Mesh, "Cube");
        *c->mesh = primitives::makeCube(2.0f);
        cube = c->id;
        SceneObject* l = scene.createObject(ObjectType::Light, "Light");
        l->transform.position = {0.0f, 0.0f, lightZ};
        light = l->id;
    }
};

TEST(PickObject, LightPickedByRadiusUnlessAMeshIsNearer) {
    const PickView view = viewOf(frontCamera());
    struct Case {
        float lightZ, radius;
        bool cubeOnRay;
        const char* want; // "light", "cube" or "none"
        const char* why;
    };
    const Case cases[] = {
        {3.0f, 8.0f, false, "light", "3 points away, radius 8"},
        {3.0f, 2.0f, false, "none", "3 points away, radius 2"},
        {3.0f, 8.0f, true, "light", "light in front of the cube"},
        {-3.0f, 8.0f, true, "cube", "cube surface nearer than the light"},
    };
    for (const Case& c : cases) {
        ObjectScene fx(c.lightZ);
        // The click lies 3 points to the right of the light's screen point; its ray passes through
        // the cube (2 wide, at the origin) unless the cube is moved aside.
        glm::vec2 click = screenOf(view, {0, 0, c.lightZ}) + glm::vec2(3.0f, 0.0f);
        if (!c.cubeOnRay)
            fx.scene.find(fx.cube)->transform.position = {0.0f, 6.0f, 0.0f};
        PickCache cache;
        const uint32_t got = pickObject(fx.scene, view, click, c.radius, &cache);
        const uint32_t want = std::string(c.want) == "light"  ? fx.light
                              : std::string(c.want) == "cube" ? fx.cube
                                                              : kInvalidObject;
        EXPECT_EQ(got, want) << c.why;
        EXPECT_EQ(got, ref::pickObject(fx.scene, view, click, c.radius)) << c.why;
    }
}

TEST(PickObject, EqualDistancesGoToTheEarlierObject) {
    // Two identical cubes in the same place: every ray meets both at the same t.
    Scene scene;
    SceneObject* a = scene.createObject(ObjectType::Mesh, "A");
    *a->mesh = primitives::makeCube(2.0f);
    SceneObject* b = scene.createObject(ObjectType::Mesh, "B");
    *b->mesh = primitives::makeCube(2.0f);
    const uint32_t first = a->id, second = b->id;
    const PickView view = viewOf(OrbitCamera{});
    const glm::vec2 centre = kSize * 0.5f;
    EXPECT_EQ(pickObject(scene, view, centre, 0.0f), first);
    std::swap(scene.objects[0], scene.objects[1]);
    EXPECT_EQ(pickObject(scene, view, centre, 0.0f), second);
    // Empty space and hidden objects pick nothing.
    EXPECT_EQ(pickObject(scene, view, {2.0f, 2.0f}, 8.0f), kInvalidObject);
    scene.objects[0]->visible = false;
    EXPECT_EQ(pickObject(scene, view, centre, 0.0f), first);
}

TEST(PickObject, ObjectsBehindTheCameraAreNeverTaken) {
    Scene scene;
    SceneObject* light = scene.createObject(ObjectType::Light, "Behind");
    light->transform.position = {0.0f, 0.0f, 12.0f}; // camera at z = 10 looking down -z
    SceneObject* cube = scene.createObject(ObjectType::Mesh, "Behind cube");
    *cube->mesh = primitives::makeCube(1.0f);
    cube->transform.position = {0.0f, 0.0f, 14.0f};
    const PickView view = viewOf(frontCamera());
    const glm::vec2 centre = kSize * 0.5f;
    EXPECT_EQ(pickObject(scene, view, centre, 1e6f), kInvalidObject);
    EXPECT_TRUE(objectsInRect(scene, view, {-1e6f, -1e6f}, {1e6f, 1e6f}).empty());
}

TEST(ObjectsInRect, TakesEveryObjectInsideInSceneOrder) {
    Scene scene;
    auto add = [&](ObjectType type, glm::vec3 pos) {
        SceneObject* o = scene.createObject(type, "O");
        o->transform.position = pos;
        if (o->mesh)
            *o->mesh = primitives::makeCube(0.5f);
        return o->id;
    };
    const uint32_t far = add(ObjectType::Mesh, {0, 0, -5});   // hidden behind the near cube
    const uint32_t light = add(ObjectType::Light, {1, 0, 0}); // origin inside the box
    const uint32_t outside = add(ObjectType::Camera, {9, 0, 0});
    const uint32_t near = add(ObjectType::Mesh, {0, 0, 0});
    const uint32_t empty = add(ObjectType::Mesh, {0, 0, 0}); // no vertices: skipped
    scene.find(empty)->mesh->clear();
    const uint32_t hidden = add(ObjectType::SpawnPoint, {0, 0, 0});
    scene.find(hidden)->visible = false;
    // A mesh with only a corner inside the box: one vertex is enough.
    const uint32_t corner = add(ObjectType::Mesh, {1.7f, 1.7f, 0.0f});
    (void)outside;

    const PickView view = viewOf(frontCamera());
    const glm::vec2 a = screenOf(view, {-1.5f, 1.5f, 0}), b = screenOf(view, {1.5f, -1.5f, 0});
    const std::vector<uint32_t> want = {far, light, near, corner};
    for (const auto& [c1, c2] :
         {std::pair{a, b}, std::pair{b, a}, std::pair{glm::vec2(a.x, b.y), glm::vec2(b.x, a.y)}}) {
        const std::vector<uint32_t> got = objectsInRect(scene, view, c1, c2);
        EXPECT_EQ(got, want) << str(got);
        EXPECT_EQ(got, ref::objectsInRect(scene, view, c1, c2));
    }
}

// [SECTION] Vertices

// A quad at z = 0 (vertices 0-3), then a vertex B behind it and a loose vertex C on it, both on one
// line from the eye: they project to the same screen point. B comes first in index order, so only
// the depth rule can prefer C; and B is hidden by the quad.
TEST(PickVertex, CoincidentVerticesGoToTheNearerOneAndHiddenOnesStayHidden) {
    const PickView view = viewOf(frontCamera()); // eye at z = 10
    const glm::vec3 onQuad(0.3f, -0.2f, 0.0f), behind = onQuad * 1.3f + glm::vec3(0, 0, -3);
    const glm::vec2 centre = screenOf(view, onQuad);
    struct Case {
        bool withC, xray;
        std::optional<uint32_t> want;
        const char* why;
    };
    const Case cases[] = {
        {true, true, 5u, "X-ray: the nearer of two coincident vertices"},
        {true, false, 5u, "the nearer one is on the surface, so visible"},
        {false, true, 4u, "X-ray: the hidden vertex is pickable"},
        {false, false, std::nullopt, "without X-ray the hidden vertex is never picked"},
    };
    for (const Case& c : cases) {
        Mesh m = quad(0.0f, 1.0f);
        m.addVertex(behind);
        if (c.withC)
            m.addVertex(onQuad);
        const MeshPickContext ctx{&m, glm::mat4(1.0f), c.xray};
        PickCache cache;
        EXPECT_EQ(pickVertex(ctx, view, centre, 10.0f, &cache), c.want) << c.why;
        EXPECT_EQ(pickVertex(ctx, view, centre, 10.0f), ref::pickVertex(ctx, view, centre, 10.0f)) << c.why;
        // Boxing the centre behaves the same way.
        std::vector<uint32_t> boxed = verticesInRect(ctx, view, centre - 5.0f, centre + 5.0f, &cache);
        std::vector<uint32_t> wantBoxed;
        if (c.xray)
            wantBoxed.push_back(4);
        if (c.withC)
            wantBoxed.push_back(5);
        EXPECT_EQ(boxed, wantBoxed) << c.why << ": " << str(boxed);
    }
}

// Vertices one point from the click at different depths: screen distances tie (within 0.001), so
// the vertex nearer the camera wins whatever its index; one on the radius still counts.
TEST(PickVertex, RadiusBoundaryAndDepthTies) {
    const PickView view = viewOf(frontCamera());
    const glm::vec2 click = kSize * 0.5f;
    auto at = [&](glm::vec2 offset, float t) {
        const Ray r = view.ray(click + offset);
        return r.origin + r.direction * t;
    };
    struct Case {
        std::vector<glm::vec3> vertices;
        float radius;
        std::optional<uint32_t> want;
        const char* why;
    };
    const Case cases[] = {
        {{at({1, 0}, 10), at({-1, 0}, 14), at({0, 1}, 6)}, 1.0f, 2u, "tie: the nearest of three"},
        {{at({1, 0}, 10), at({-1, 0}, 14)}, 1.0f, 0u, "tie: a farther later vertex does not win"},
        {{at({1, 0}, 10), at({-0.5f, 0}, 14)}, 1.0f, 1u, "clearly closer on screen beats nearer in depth"},
        {{at({1, 0}, 10)}, 0.9f, std::nullopt, "outside the radius"},
    };
    for (const Case& c : cases) {
        Mesh m;
        for (const glm::vec3& p : c.vertices)
            m.addVertex(p);
        for (bool xray : {false, true}) {
            const MeshPickContext ctx{&m, glm::mat4(1.0f), xray};
            EXPECT_EQ(pickVertex(ctx, view, click, c.radius), c.want) << c.why;
            EXPECT_EQ(pickVertex(ctx, view, click, c.radius), ref::pickVertex(ctx, view, click, c.radius)) << c.why;
        }
    }
}

TEST(PickVertex, VerticesBehindTheCameraAreNeitherClickedNorBoxed) {
    // The eye is at z = 10; vertex 0 sits at the eye, vertex 1 behind it, vertex 2 in front.
    Mesh m;
    m.addVertex({0, 0, 10});
    m.addVertex({0, 0, 15});
    m.addVertex({0, 0, 0});
    const PickView view = viewOf(frontCamera());
    for (bool xray : {true, false}) {
        const MeshPickContext ctx{&m, glm::mat4(1.0f), xray};
        EXPECT_EQ(pickVertex(ctx, view, kSize * 0.5f, 1e4f), 2u);
        EXPECT_EQ(verticesInRect(ctx, view, {-1e6f, -1e6f}, {1e6f, 1e6f}), std::vector<uint32_t>{2});
    }
}

// With X-ray off only the vertices of the sides facing the camera are boxed. Those on silhouette
// edges are on the surface, so they count as visible; the box corners may come in any order.
TEST(VerticesInRect, CubeKeepsOnlyTheSideFacingTheCamera) {
    const Mesh cube = primitives::makeCube(2.0f); // vertex 0 is (-1, -1, -1), 4-7 have z = +1
    struct Case {
        OrbitCamera cam;
        std::vector<uint32_t> visible;
        const char* why;
    };
    OrbitCamera corner; // yaw 45, pitch 28: sees +x, +y and +z; only (-1, -1, -1) is hidden
    OrbitCamera below = corner;
    below.setView(-135.0f, -28.0f); // sees -x, -y and -z; only (1, 1, 1) is hidden
    const Case cases[] = {
        {frontCamera(), {4, 5, 6, 7}, "head-on: the front face"},
        {frontCamera(10.0f, true), {4, 5, 6, 7}, "head-on, orthographic"},
        {corner, {1, 2, 3, 4, 5, 6, 7}, "three sides, six silhouette vertices"},
        {below, {0, 1, 2, 3, 4, 5, 7}, "from below and behind"},
    };
    for (const Case& c : cases) {
        const PickView view = viewOf(c.cam);
        PickCache cache;
        for (bool xray : {false, true}) {
            const MeshPickContext ctx{&cube, glm::mat4(1.0f), xray};
            const std::vector<uint32_t> want = xray ? std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7} : c.visible;
            const glm::vec2 tl(0.0f), br = kSize;
            for (const auto& [c1, c2] :
                 {std::pair{tl, br}, std::pair{br, tl}, std::pair{glm::vec2(br.x, 0), glm::vec2(0, br.y)}}) {
                const std::vector<uint32_t> got = verticesInRect(ctx, view, c1, c2, &cache);
                EXPECT_EQ(got, want) << c.why << (xray ? " (X-ray)" : "") << ": " << str(got);
            }
            EXPECT_EQ(verticesInRect(ctx, view, tl, br), ref::verticesInRect(ctx, view, tl, br)) << c.why;
        }
    }
}

TEST(VerticesInRect, BoxBordersAreIncluded) {
    Mesh m = quad(0.0f, 1.0f);
    const PickView view = viewOf(frontCamera());
    const MeshPickContext ctx{&m, glm::mat4(1.0f), false};
    const glm::vec2 s0 = screenOf(view, m.vertices[0].position), s2 = screenOf(view, m.vertices[2].position);
    EXPECT_EQ(verticesInRect(ctx, view, s0, s2), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(verticesInRect(ctx, view, s2, s0), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(verticesInRect(ctx, view, s0, s0), (std::vector<uint32_t>{0}));
}

// [SECTION] Edges and faces

TEST(PickEdge, TiesKeepTheEarlierEdgeAndHiddenEdgesNeedXray) {
    const PickView view = viewOf(frontCamera());

    // Two squares through separate vertices at the same place: every edge has an exact twin.
    Mesh twins = quad(0.0f, 1.0f);
    for (int i = 0; i < 4; ++i)
        twins.addVertex(twins.vertices[i].position);
    twins.addFace({4, 5, 6, 7});
    const glm::vec2 bottom = (screenOf(view, {-1, -1, 0}) + screenOf(view, {1, -1, 0})) * 0.5f;
    for (bool xray : {false, true})
        EXPECT_EQ(pickEdge(MeshPickContext{&twins, glm::mat4(1.0f), xray}, view, bottom + glm::vec2(0, 2), 6.0f),
                  (Edge{0, 1}));

    // A big square at z = 0 hides a triangle at z = -5 whose bottom edge is under the click; the
    // square's own edges are far away on screen.
    Mesh hidden = quad(0.0f, 3.0f);
    hidden.addVertex({-1, -1, -5});
    hidden.addVertex({1, -1, -5});
    hidden.addVertex({0, 1, -5});
    hidden.addFace({4, 5, 6});
    const glm::vec2 click = (screenOf(view, {-1, -1, -5}) + screenOf(view, {1, -1, -5})) * 0.5f;
    const MeshPickContext xray{&hidden, glm::mat4(1.0f), true}, solid{&hidden, glm::mat4(1.0f), false};
    EXPECT_EQ(pickEdge(xray, view, click, 4.0f), (Edge{4, 5}));
    EXPECT_EQ(pickEdge(solid, view, click, 4.0f), std::nullopt);
    EXPECT_EQ(pickEdge(solid, view, click, 4.0f), ref::pickEdge(solid, view, click, 4.0f));
    // Nudged towards the square's bottom edge (z = 0, y = -3), the visible edge is found instead.
    const glm::vec2 nearFront = screenOf(view, {0, -3, 0}) + glm::vec2(0, -3);
    EXPECT_EQ(pickEdge(solid, view, nearFront, 4.0f), (Edge{0, 1}));
}

TEST(PickFace, NearestFaceAndTiesToTheLowerIndex) {
    // Faces 0 and 1 are the same square through separate vertices: every hit is a tie. Face 2 is a
    // square in front of them on the right half only.
    Mesh m = quad(0.0f, 1.0f);
    for (const glm::vec3& p : {glm::vec3(-1, -1, 0), glm::vec3(1, -1, 0), glm::vec3(1, 1, 0), glm::vec3(-1, 1, 0)})
        m.addVertex(p);
    m.addFace({4, 5, 6, 7});
    for (const glm::vec3& p : {glm::vec3(0.2f, -1, 1), glm::vec3(1, -1, 1), glm::vec3(1, 1, 1), glm::vec3(0.2f, 1, 1)})
        m.addVertex(p);
    m.addFace({8, 9, 10, 11});
    // Reverse the first two so that the lower index is not the first one built.
    std::swap(m.faces[0], m.faces[1]);

    const PickView view = viewOf(frontCamera());
    const glm::vec2 left = screenOf(view, {-0.5f, 0, 0}), right = screenOf(view, {0.6f, 0, 1});
    for (bool xray : {false, true}) {
        const MeshPickContext ctx{&m, glm::mat4(1.0f), xray};
        EXPECT_EQ(pickFace(ctx, view, left), 0u);
        EXPECT_EQ(pickFace(ctx, view, right), 2u) << "the face in front, whatever X-ray says";
        EXPECT_EQ(pickFace(ctx, view, {5.0f, 5.0f}), std::nullopt) << "a ray that meets nothing";
        EXPECT_EQ(pickFace(ctx, view, left), ref::pickFace(ctx, view, left));
    }
}

// [SECTION] Cache and bad input

TEST(PickCache, FollowsMeshEditsAndMoves) {
    Mesh m = quad(0.0f, 1.0f);
    const PickView view = viewOf(frontCamera());
    const glm::vec2 centre = kSize * 0.5f;
    PickCache cache;
    MeshPickContext ctx{&m, glm::mat4(1.0f), false};
    EXPECT_EQ(pickFace(ctx, view, centre, &cache), 0u);

    // An in-place edit (move assignment raises the revision) moves the quad off the centre.
    Mesh moved = m;
    for (Vertex& v : moved.vertices)
        v.position.x += 5.0f;
    m = std::move(moved);
    EXPECT_EQ(pickFace(ctx, view, centre, &cache), std::nullopt);
    // Moving the object back with its world matrix brings it back.
    ctx.world = glm::mat4(1.0f);
    ctx.world[3] = glm::vec4(-5.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(pickFace(ctx, view, centre, &cache), 0u);
    EXPECT_EQ(cache.meshCount(), 1u);

    // A budget of one byte keeps only the mesh in use.
    PickCache tiny(1);
    Mesh other = quad(0.0f, 1.0f);
    EXPECT_EQ(pickFace(ctx, view, centre, &tiny), 0u);
    EXPECT_EQ(pickFace(MeshPickContext{&other, glm::mat4(1.0f), false}, view, centre, &tiny), 0u);
    EXPECT_EQ(tiny.meshCount(), 1u);
}

TEST(Picking, BadInputPicksNothingAndDoesNotCrash) {
    // A face naming a missing vertex, non-finite positions, and a degenerate view.
    Mesh m = quad(0.0f, 1.0f);
    m.addFace({0, 1, 99});
    m.addVertex({NAN, 0, 0});
    m.addVertex({INFINITY, -INFINITY, 0});
    m.addFace({4, 5, 0});
    const PickView view = viewOf(frontCamera());
    const glm::vec2 centre = kSize * 0.5f;
    for (bool xray : {false, true}) {
        const MeshPickContext ctx{&m, glm::mat4(1.0f), xray};
        EXPECT_EQ(pickFace(ctx, view, centre), ref::pickFace(ctx, view, centre));
        EXPECT_EQ(pickVertex(ctx, view, centre, 1e4f), ref::pickVertex(ctx, view, centre, 1e4f));
        EXPECT_EQ(pickEdge(ctx, view, centre, 1e4f), ref::pickEdge(ctx, view, centre, 1e4f));
        EXPECT_EQ(verticesInRect(ctx, view, {0, 0}, kSize), ref::verticesInRect(ctx, view, {0, 0}, kSize));
        EXPECT_TRUE(verticesInRect(ctx, view, {NAN, 0}, kSize).empty());
    }
    PickView flat = view;
    flat.size = glm::vec2(0.0f);
    const MeshPickContext ctx{&m, glm::mat4(1.0f), false};
    EXPECT_EQ(pickFace(ctx, flat, {0, 0}), std::nullopt);
    EXPECT_EQ(pickVertex(MeshPickContext{}, view, centre, 10.0f), std::nullopt);
    EXPECT_TRUE(verticesInRect(MeshPickContext{}, view, {0, 0}, kSize).empty());
}

// [SECTION] The accelerated queries against the plain loops

// Random meshes: loose polygons of 3 to 6 corners (often non-planar), some duplicated faces (exact
// ties), some vertices sharing a position, plus axis-aligned primitives under random placements.
Mesh randomMesh(std::mt19937& rng, int kind) {
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    if (kind == 1)
        return primitives::makeCube(1.5f);
    if (kind == 2)
        return primitives::makeUVSphere(1.0f, 12, 7);
    if (kind == 3)
        return primitives::makeCylinder(0.8f, 1.6f, 10);
    Mesh m;
    const int vertexCount = 20 + int(rng() % 60);
    for (int i = 0; i < vertexCount; ++i) {
        if (i > 0 && rng() % 8 == 0)
            m.addVertex(m.vertices[rng() % i].position); // coincident with an earlier vertex
        else
            m.addVertex({u(rng), u(rng), u(rng)});
    }
    const int faceCount = 10 + int(rng() % 60);
    for (int f = 0; f < faceCount; ++f) {
        if (f > 0 && rng() % 10 == 0) {
            m.addFace(m.faces[rng() % f].indices); // duplicate: ties on every hit
            continue;
        }
        std::vector<uint32_t> idx;
        const int corners = 3 + int(rng() % 4);
        while (int(idx.size()) < corners) {
            const uint32_t v = rng() % vertexCount;
            if (std::find(idx.begin(), idx.end(), v) == idx.end())
                idx.push_back(v);
        }
        m.addFace(idx);
    }
    return m;
}

OrbitCamera randomCamera(std::mt19937& rng) {
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    OrbitCamera cam;
    cam.target = {u(rng) - 0.5f, u(rng) - 0.5f, u(rng) - 0.5f};
    cam.distance = 1.5f + 8.0f * u(rng);
    cam.fovDeg = 30.0f + 40.0f * u(rng);
    cam.orthographic = rng() % 4 == 0;
    // Now and then an exact axis view, which lines rays up with the primitives' faces.
    if (rng() % 6 == 0)
        cam.setView(float(rng() % 4) * 90.0f, 0.0f);
    else
        cam.setView(360.0f * u(rng) - 180.0f, 170.0f * u(rng) - 85.0f);
    return cam;
}

glm::mat4 randomPlacement(std::mt19937& rng) {
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    if (rng() % 3 == 0)
        return glm::mat4(1.0f);
    Transform t;
    t.position = {u(rng), u(rng), u(rng)};
    t.rotationEulerDeg = {180.0f * u(rng), 90.0f * u(rng), 180.0f * u(rng)};
    t.scale = {1.0f + 0.5f * u(rng), 1.0f + 0.5f * u(rng), 1.0f + 0.5f * u(rng)};
    return t.matrix();
}

// Screen points: random ones, and projected vertices (which land on vertices, edges and the
// silhouette, where ties and the visibility rule matter).
glm::vec2 randomPoint(std::mt19937& rng, const PickView& view, const std::vector<glm::vec3>& world) {
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    glm::vec2 s;
    if (!world.empty() && rng() % 2 == 0 && view.project(world[rng() % world.size()], s))
        return s + glm::vec2(std::floor(u(rng) * 3.0f) - 1.0f, 0.0f) * float(rng() % 2);
    return glm::vec2(u(rng) * view.size.x, u(rng) * view.size.y);
}

TEST(PickingAccelerated, MeshQueriesMatchThePlainLoops) {
    std::mt19937 rng(1234);
    PickCache cache; // one cache across every mesh, view and placement
    int picks = 0, hidden = 0;
    for (int round = 0; round < 80; ++round) {
        const Mesh mesh = randomMesh(rng, round % 5 == 4 ? 1 + int(rng() % 3) : 0);
        const glm::mat4 world = randomPlacement(rng);
        const ref::WorldTriangles flat(mesh, world);
        const std::vector<glm::vec3>& worldPoints = flat.points;
        for (int v = 0; v < 4; ++v) {
            const PickView view =
                viewOf(randomCamera(rng), glm::vec2(400.0f + float(rng() % 600), 300.0f + float(rng() % 400)));
            for (bool xray : {false, true}) {
                const MeshPickContext ctx{&mesh, world, xray};
                // The last view of each mesh also runs without a cache (each call builds its own).
                auto use = [&](int q) { return v == 3 && q % 3 == 0 ? nullptr : &cache; };
                const std::string where =
                    "round " + std::to_string(round) + " view " + std::to_string(v) + (xray ? " X-ray" : "");
                for (int q = 0; q < 6; ++q) {
                    const glm::vec2 s = randomPoint(rng, view, worldPoints);
                    const float radius = float(rng() % 40);
                    const auto vertex = pickVertex(ctx, view, s, radius, use(q));
                    ASSERT_EQ(vertex, ref::pickVertex(ctx, view, s, radius, &flat)) << where;
                    ASSERT_EQ(pickEdge(ctx, view, s, radius, use(q)), ref::pickEdge(ctx, view, s, radius, &flat))
                        << where;
                    ASSERT_EQ(pickFace(ctx, view, s, use(q)), ref::pickFace(ctx, view, s, &flat)) << where;
                    picks += vertex.has_value();
                }
                for (int q = 0; q < 2; ++q) {
                    const glm::vec2 c1 = randomPoint(rng, view, worldPoints), c2 = randomPoint(rng, view, worldPoints);
                    const std::vector<uint32_t> got = verticesInRect(ctx, view, c1, c2, use(q));
                    const std::vector<uint32_t> want = ref::verticesInRect(ctx, view, c1, c2, &flat);
                    ASSERT_EQ(got, want) << where << ": " << str(got) << " vs " << str(want);
                    if (!xray)
                        hidden +=
                            int(ref::verticesInRect(MeshPickContext{&mesh, world, true}, view, c1, c2, &flat).size() -
                                got.size());
                }
            }
        }
    }
    // The comparison means something only when the queries really pick and really hide.
    EXPECT_GT(picks, 300);
    EXPECT_GT(hidden, 300);
}

// Zero-area triangles (two corners at one place) give intersectRayTriangle a determinant of pure
// rounding noise: a ray aimed at one can "hit" it far outside its box. The plain loops report those
// hits, so the accelerated queries must test such triangles outside the tree.
TEST(PickingAccelerated, ZeroAreaTrianglesAnswerLikeThePlainLoops) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f), u01(0.0f, 1.0f);
    Mesh m;
    for (int i = 0; i < 100; ++i) {
        const uint32_t a = m.addVertex({u(rng), u(rng), u(rng)});
        const uint32_t b = m.addVertex({u(rng), u(rng), u(rng)});
        m.addFace({a, b, m.addVertex(m.vertices[b].position)});
    }
    const ref::WorldTriangles flat(m, glm::mat4(1.0f));
    PickCache cache;
    int noise = 0;
    for (int v = 0; v < 60; ++v) {
        OrbitCamera cam;
        cam.distance = 3.0f + 5.0f * u01(rng);
        cam.orthographic = v % 2 == 1;
        cam.setView(360.0f * u01(rng), 170.0f * u01(rng) - 85.0f);
        const PickView view = viewOf(cam);
        for (int q = 0; q < 60; ++q) {
            // Aim at a point on the line of one of the zero-area triangles, beyond its ends: the
            // ray then misses the triangle's box, but not always its noise.
            const Face& f = m.faces[rng() % m.faces.size()];
            const float w = u01(rng) < 0.5f ? -0.2f - 2.0f * u01(rng) : 1.2f + 2.0f * u01(rng);
            glm::vec2 s;
            if (!view.project(flat.points[f.indices[0]] * w + flat.points[f.indices[1]] * (1.0f - w), s))
                continue;
            const std::optional<uint32_t> want = ref::pickFace(MeshPickContext{&m}, view, s, &flat);
            ASSERT_EQ(pickFace(MeshPickContext{&m}, view, s, &cache), want) << "view " << v << " ray " << q;
            if (want) {
                // A hit away from the triangle's own segment is noise.
                const Face& hit = m.faces[*want];
                const Ray r = view.ray(s);
                const float t = ref::rayMeshDistance(flat, r);
                const glm::vec3 p = r.origin + r.direction * t;
                const glm::vec3 a = flat.points[hit.indices[0]], b = flat.points[hit.indices[1]];
                noise += glm::any(glm::lessThan(p, glm::min(a, b) - 0.01f)) ||
                         glm::any(glm::greaterThan(p, glm::max(a, b) + 0.01f));
            }
        }
    }
    EXPECT_GT(noise, 0) << "no ray met the noise this test is about";
}

TEST(PickingAccelerated, ObjectQueriesMatchThePlainLoops) {
    std::mt19937 rng(99);
    PickCache cache;
    std::uniform_real_distribution<float> u(-3.0f, 3.0f);
    int hits = 0;
    for (int round = 0; round < 40; ++round) {
        Scene scene;
        const int count = 3 + int(rng() % 6);
        for (int i = 0; i < count; ++i) {
            const ObjectType type = rng() % 3 == 0 ? ObjectType(1 + rng() % 3) : ObjectType::Mesh;
            SceneObject* o = scene.createObject(type, "O");
            o->transform.position = {u(rng), u(rng), u(rng)};
            o->transform.rotationEulerDeg = {30.0f * u(rng), 30.0f * u(rng), 30.0f * u(rng)};
            if (o->mesh)
                *o->mesh = randomMesh(rng, int(rng() % 4));
            if (i > 0 && rng() % 4 == 0)
                scene.setParent(o->id, scene.objects[rng() % i]->id, false);
            o->visible = rng() % 8 != 0;
        }
        for (int v = 0; v < 3; ++v) {
            OrbitCamera cam = randomCamera(rng);
            cam.distance += 6.0f;
            const PickView view = viewOf(cam);
            for (int q = 0; q < 10; ++q) {
                const glm::vec2 s = randomPoint(rng, view, {});
                const float radius = float(rng() % 30);
                const uint32_t got = pickObject(scene, view, s, radius, &cache);
                ASSERT_EQ(got, ref::pickObject(scene, view, s, radius)) << "round " << round;
                hits += got != kInvalidObject;
                const glm::vec2 c2 = randomPoint(rng, view, {});
                ASSERT_EQ(objectsInRect(scene, view, s, c2), ref::objectsInRect(scene, view, s, c2));
            }
            // Move an object between views: its structure must follow.
            scene.objects[rng() % scene.objects.size()]->transform.position += glm::vec3(0.5f, 0.0f, 0.0f);
        }
    }
    EXPECT_GT(hits, 100);
}

} // namespace
} // namespace orva
