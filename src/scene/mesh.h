#pragma once

#include "scene/math.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The one geometry type: an indexed polygon mesh whose faces are n-gons (n >= 3) with optional
// per-corner UVs, plus its triangulated form for the GPU and the exporters.
namespace orva {

struct Vertex {
    glm::vec3 position{0.0f}; // object-local space
};

struct Face {
    std::vector<uint32_t> indices; // vertex index per corner, counter-clockwise seen from the front
    std::vector<glm::vec2> uvs;    // empty (no UVs) or exactly one per corner
    bool smooth = false;           // smooth faces share averaged vertex normals

    bool hasUVs() const { return !uvs.empty() && uvs.size() == indices.size(); }
};

// An undirected vertex pair; made from a face side it always holds the smaller index in `a`.
struct Edge {
    uint32_t a = 0;
    uint32_t b = 0;

    static Edge make(uint32_t i, uint32_t j) { return i < j ? Edge{i, j} : Edge{j, i}; }
    bool operator==(const Edge& o) const { return a == o.a && b == o.b; }
    bool operator!=(const Edge& o) const { return !(*this == o); }
};

struct EdgeHash {
    size_t operator()(const Edge& e) const { return size_t((uint64_t(e.a) << 32) | uint64_t(e.b)); }
};

// Unique corners of a triangulated mesh: parallel arrays plus three indices per triangle.
struct TriangleMesh {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals; // unit length, (0, 1, 0) where degenerate
    std::vector<glm::vec2> uvs;     // (0, 0) for corners of faces without UVs
    std::vector<uint32_t> indices;
};

// Identity and change tracking: `uid` is unique within the process (the renderer's cache key);
// `revision` starts at 1 and every in-place change (clear, setSmooth, assignment, every editing
// operation) increments it. addVertex/addFace do not: they build meshes nobody has drawn yet.
// A copy is a new mesh (fresh uid, revision 1); an assignment changes the target in place.
class Mesh {
public:
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    uint64_t uid;
    uint64_t revision = 1;

    Mesh();
    Mesh(const Mesh& other);
    Mesh(Mesh&& other) noexcept;
    Mesh& operator=(const Mesh& other);
    Mesh& operator=(Mesh&& other) noexcept;
    ~Mesh() = default;

    // Next value of the process-wide uid counter (first value 1).
    static uint64_t nextMeshUid();

    void clear();
    uint32_t addVertex(const glm::vec3& position);
    // A non-empty `uvs` whose length differs from `indices` is dropped (the face has no UVs).
    uint32_t addFace(std::vector<uint32_t> indices, std::vector<glm::vec2> uvs = {}, bool smooth = false);

    // Every distinct edge once, in order of first appearance; sides joining a vertex to itself are skipped.
    std::vector<Edge> edges() const;
    bool hasUVs() const;
    AABB bounds() const;

    // Per-face queries; `face` must be in range.
    glm::vec3 faceNormalWeighted(uint32_t face) const; // Newell sum, length = twice the area
    glm::vec3 faceNormal(uint32_t face) const;         // unit, (0, 1, 0) when degenerate
    glm::vec3 faceCenter(uint32_t face) const;

    // One normal per vertex, averaged over the smooth faces (area-weighted); (0, 1, 0) elsewhere.
    std::vector<glm::vec3> smoothVertexNormals() const;
    void setSmooth(bool smooth);

    // Ear clipping in the face's dominant plane; triangles as corner positions within the face.
    std::vector<std::array<uint32_t, 3>> triangulateFace(uint32_t face) const;
    // Triangles with corners de-duplicated by (vertex, normal, UV).
    TriangleMesh triangulate() const;

    // True when every face has >= 3 corners, matching UVs and valid indices; otherwise the first
    // fault goes to `error` ("face 2 references missing vertex 9").
    bool validate(std::string* error = nullptr) const;
};

} // namespace orva
