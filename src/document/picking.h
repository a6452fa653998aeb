#pragma once

#include "document/bvh.h"
#include "scene/math.h"
#include "scene/mesh.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

// What lies under a point of the viewport, or inside a rectangle: whole objects in Object Mode;
// vertices, edges and faces of the edited mesh in Edit Mode.
//
// Screen points are in the viewport panel's own coordinates: interface points, origin at its
// top-left corner, y growing downwards; radii are in the same unit. Mesh surfaces are hit exactly
// (the nearest triangle along the ray); vertices and edges by their projected screen distance and,
// unless X-ray is on, only when no surface of the same mesh lies in front of them by more than 0.1 %
// of their distance from the ray origin (at least 1e-4 m), so a point on the surface counts as
// visible. Everything reads const data; the only state is the optional PickCache.
namespace orva {

class Scene;

// One use's view: the camera matrices the renderer draws with and the panel size.
struct PickView {
    glm::mat4 view{1.0f}; // OrbitCamera::view()
    glm::mat4 proj{1.0f}; // OrbitCamera::projection(size.x / max(size.y, 1))
    glm::vec2 size{1.0f}; // panel width and height in interface points

    // Writes the screen point of a world point (and its NDC depth when asked) and returns true when
    // it lies between the near and far planes. A point at or behind the eye does not project: false,
    // nothing written.
    bool project(const glm::vec3& world, glm::vec2& screen, float* depth = nullptr) const;
    // The world-space ray through a screen point: from the near plane, unit direction.
    Ray ray(const glm::vec2& screen) const;
};

// Per-mesh data the picking queries reuse: world-space vertex positions, the triangles (in face
// order) with the face each comes from, a TriangleBvh over them, and the mesh's edge list.
struct PickMeshData {
    std::vector<glm::vec3> positions;               // world space, one per vertex
    std::vector<std::array<uint32_t, 3>> triangles; // vertex indices, faces in order, Mesh::triangulateFace order
    std::vector<uint32_t> triangleFace;             // per triangle: the face it was cut from
    TriangleBvh bvh;                                // over `triangles`, built on first need
    std::vector<Edge> edges;                        // Mesh::edges(), filled on first need
    bool bvhReady = false;
    bool edgesReady = false;
};

// Keeps a PickMeshData per mesh between queries, rebuilt when the mesh's uid, revision, vertex or
// face count, or world matrix differ from the ones it was built for. Meshes are not owned; stale
// entries (of meshes since destroyed) are dropped least-recently-used first once the entries hold
// more than the byte budget. Main thread only, like the meshes it reads.
class PickCache {
public:
    explicit PickCache(size_t budgetBytes = size_t(256) << 20);

    // The data for mesh under world: positions and triangles always, the BVH and the edge list when
    // asked for. The reference stays valid until the next call on this cache or until clear().
    const PickMeshData& get(const Mesh& mesh, const glm::mat4& world, bool withBvh, bool withEdges = false);
    void clear();
    size_t meshCount() const { return entries_.size(); }
    size_t memoryBytes() const;

private:
    struct Entry {
        uint64_t revision = 0;
        size_t vertexCount = 0;
        size_t faceCount = 0;
        glm::mat4 world{1.0f};
        uint64_t lastUse = 0;
        size_t bytes = 0;
        PickMeshData data;
    };
    void evict(uint64_t keepUid);

    std::unordered_map<uint64_t, std::unique_ptr<Entry>> entries_; // by mesh uid
    size_t budgetBytes_;
    uint64_t clock_ = 0;
};

// The edited mesh as the viewport panel sees it.
struct MeshPickContext {
    const Mesh* mesh = nullptr; // null picks nothing
    glm::mat4 world{1.0f};      // the object's world matrix (Scene::worldMatrix)
    bool xray = false;          // true: skip the visibility test, hidden components can be picked
};

// Every query takes an optional cache. Pass one kept across calls (the viewport keeps one): then the
// per-mesh structures are built once per mesh change and reused. Without one, each call builds what
// it needs and throws it away.

// The nearest visible object under the point: mesh objects by their surface along the ray, other
// objects (and mesh objects without a mesh) when their origin projects within `radius` of the point,
// at the origin's distance along the ray. Equal distances go to the earlier object in scene order.
// kInvalidObject (0) when nothing is hit.
uint32_t pickObject(const Scene& scene, const PickView& view, const glm::vec2& screen, float radius,
                    PickCache* cache = nullptr);

// Visible objects with a vertex (mesh objects with a mesh) or their origin (the others) projecting
// into the rectangle with corners c1 and c2 (any order, borders included), in scene order. Objects
// hidden behind others are taken too.
std::vector<uint32_t> objectsInRect(const Scene& scene, const PickView& view, const glm::vec2& c1, const glm::vec2& c2);

// The vertex nearest on screen within `radius`; a tie (within 0.001 squared points) goes to the
// vertex nearer the camera. Hidden vertices are skipped unless X-ray is on.
std::optional<uint32_t> pickVertex(const MeshPickContext& ctx, const PickView& view, const glm::vec2& screen,
                                   float radius, PickCache* cache = nullptr);

// The edge nearest on screen, closer than `radius` (ties keep the earlier edge of Mesh::edges).
// Unless X-ray is on, the point of the edge under the closest screen point must be visible.
std::optional<Edge> pickEdge(const MeshPickContext& ctx, const PickView& view, const glm::vec2& screen, float radius,
                             PickCache* cache = nullptr);

// The face whose surface the ray through the point meets first (on equal distance the lower face
// index), whatever X-ray says.
std::optional<uint32_t> pickFace(const MeshPickContext& ctx, const PickView& view, const glm::vec2& screen,
                                 PickCache* cache = nullptr);

// Every vertex projecting into the rectangle (any corner order, borders included), except hidden
// ones unless X-ray is on; ascending index order.
std::vector<uint32_t> verticesInRect(const MeshPickContext& ctx, const PickView& view, const glm::vec2& c1,
                                     const glm::vec2& c2, PickCache* cache = nullptr);

} // namespace orva
