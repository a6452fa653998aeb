#include "document/picking.h"

#include "scene/scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orva {

// [SECTION] View

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

glm::vec3 toWorld(const glm::mat4& world, const glm::vec3& local) { return glm::vec3(world * glm::vec4(local, 1.0f)); }

Ray rayThrough(const glm::mat4& inverseViewProj, const glm::vec2& size, const glm::vec2& screen) {
    const glm::vec2 ndc(screen.x / size.x * 2.0f - 1.0f, -screen.y / size.y * 2.0f + 1.0f);
    const glm::vec4 n = inverseViewProj * glm::vec4(ndc, -1.0f, 1.0f);
    const glm::vec4 f = inverseViewProj * glm::vec4(ndc, 1.0f, 1.0f);
    const glm::vec3 nearPoint = glm::vec3(n) / n.w;
    const glm::vec3 farPoint = glm::vec3(f) / f.w;
    return Ray{nearPoint, glm::normalize(farPoint - nearPoint)};
}

// A view prepared for many rays: PickView::ray's arithmetic with the inverse computed once.
struct PreparedView {
    const PickView& view;
    glm::mat4 inverse;

    explicit PreparedView(const PickView& v) : view(v), inverse(glm::inverse(v.proj * v.view)) {}
    Ray ray(const glm::vec2& screen) const { return rayThrough(inverse, view.size, screen); }
};

// The visibility test for a world point p whose screen point is s: hidden when the mesh surface lies
// in front of it along the ray through s by more than 0.1 % of its distance (at least 1e-4), that is
// when some triangle is hit before that limit.
bool visibleAt(const PreparedView& pv, const TriangleBvh& bvh, const glm::vec3& p, const glm::vec2& s) {
    const Ray r = pv.ray(s);
    const float tP = glm::dot(p - r.origin, r.direction);
    const float limit = tP - std::max(0.001f * tP, 1e-4f);
    return !bvh.anyHitBefore(r, limit);
}

bool visible(const PreparedView& pv, const TriangleBvh& bvh, const glm::vec3& p) {
    glm::vec2 s;
    return pv.view.project(p, s) && visibleAt(pv, bvh, p, s);
}

// Borders included; a NaN corner contains nothing.
struct ScreenRect {
    glm::vec2 lo, hi;
    ScreenRect(const glm::vec2& a, const glm::vec2& b) : lo(glm::min(a, b)), hi(glm::max(a, b)) {}
    bool contains(const glm::vec2& s) const { return s.x >= lo.x && s.x <= hi.x && s.y >= lo.y && s.y <= hi.y; }
};

} // namespace

bool PickView::project(const glm::vec3& world, glm::vec2& screen, float* depth) const {
    const glm::vec4 clip = proj * (view * glm::vec4(world, 1.0f));
    if (!(clip.w > 1e-6f))
        return false;
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    screen = glm::vec2((ndc.x * 0.5f + 0.5f) * size.x, (-ndc.y * 0.5f + 0.5f) * size.y);
    if (depth)
        *depth = ndc.z;
    return std::fabs(ndc.z) <= 1.0f;
}

Ray PickView::ray(const glm::vec2& screen) const { return rayThrough(glm::inverse(proj * view), size, screen); }

// [SECTION] Cache

PickCache::PickCache(size_t budgetBytes) : budgetBytes_(budgetBytes) {}

void PickCache::clear() { entries_.clear(); }

size_t PickCache::memoryBytes() const {
    size_t total = 0;
    for (const auto& [uid, entry] : entries_)
        total += entry->bytes;
    return total;
}

const PickMeshData& PickCache::get(const Mesh& mesh, const glm::mat4& world, bool withBvh, bool withEdges) {
    std::unique_ptr<Entry>& slot = entries_[mesh.uid];
    const bool fresh = !slot;
    if (fresh)
        slot = std::make_unique<Entry>();
    Entry& e = *slot;
    PickMeshData& d = e.data;

    const size_t vertexCount = mesh.vertices.size(), faceCount = mesh.faces.size();
    const bool meshChanged =
        fresh || e.revision != mesh.revision || e.vertexCount != vertexCount || e.faceCount != faceCount;
    // Bitwise: the cached positions must be the very floats a fresh transform would give.
    const bool worldChanged = fresh || std::memcmp(&e.world, &world, sizeof(glm::mat4)) != 0;

    if (meshChanged) {
        // Triangles of every face in face order; a face naming a missing vertex has none.
        d.triangles.clear();
        d.triangleFace.clear();
        d.triangles.reserve(faceCount * 2);
        d.triangleFace.reserve(faceCount * 2);
        for (uint32_t f = 0; f < uint32_t(faceCount); ++f) {
            const std::vector<uint32_t>& idx = mesh.faces[f].indices;
            if (std::any_of(idx.begin(), idx.end(), [&](uint32_t v) { return v >= vertexCount; }))
                continue;
            for (const std::array<uint32_t, 3>& tri : mesh.triangulateFace(f)) {
                d.triangles.push_back({idx[tri[0]], idx[tri[1]], idx[tri[2]]});
                d.triangleFace.push_back(f);
            }
        }
        d.edges.clear();
        d.edgesReady = false;
        e.revision = mesh.revision;
        e.vertexCount = vertexCount;
        e.faceCount = faceCount;
    }
    if (meshChanged || worldChanged) {
        d.positions.resize(vertexCount);
        for (size_t i = 0; i < vertexCount; ++i)
            d.positions[i] = toWorld(world, mesh.vertices[i].position);
        d.bvh.clear();
        d.bvhReady = false;
        e.world = world;
    }
    if (withBvh && !d.bvhReady) {
        d.bvh.build(d.positions, d.triangles);
        d.bvhReady = true;
    }
    if (withEdges && !d.edgesReady) {
        d.edges = mesh.edges();
        d.edgesReady = true;
    }

    e.lastUse = ++clock_;
    e.bytes = d.positions.capacity() * sizeof(glm::vec3) + d.triangles.capacity() * sizeof(d.triangles[0]) +
              d.triangleFace.capacity() * sizeof(uint32_t) + d.edges.capacity() * sizeof(Edge) + d.bvh.memoryBytes() +
              sizeof(Entry);
    evict(mesh.uid);
    return d;
}

void PickCache::evict(uint64_t keepUid) {
    size_t total = memoryBytes();
    while (total > budgetBytes_) {
        auto oldest = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->first != keepUid && (oldest == entries_.end() || it->second->lastUse < oldest->second->lastUse))
                oldest = it;
        if (oldest == entries_.end())
            return;
        total -= oldest->second->bytes;
        entries_.erase(oldest);
    }
}

// [SECTION] Objects

uint32_t pickObject(const Scene& scene, const PickView& view, const glm::vec2& screen, float radius, PickCache* cache) {
    PickCache local;
    PickCache& meshes = cache ? *cache : local;
    const Ray r = view.ray(screen);
    float best = kInf;
    uint32_t result = kInvalidObject;
    for (const std::unique_ptr<SceneObject>& obj : scene.objects) {
        if (!obj || !obj->visible)
            continue;
        const glm::mat4 world = scene.worldMatrix(obj->id);
        float d = kInf;
        if (obj->type == ObjectType::Mesh && obj->mesh) {
            d = meshes.get(*obj->mesh, world, true).bvh.closestHit(r).t;
        } else {
            const glm::vec3 origin(world[3]);
            glm::vec2 s;
            if (view.project(origin, s) && glm::length(s - screen) <= radius)
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
    const ScreenRect rect(c1, c2);
    std::vector<uint32_t> result;
    for (const std::unique_ptr<SceneObject>& obj : scene.objects) {
        if (!obj || !obj->visible)
            continue;
        const glm::mat4 world = scene.worldMatrix(obj->id);
        glm::vec2 s;
        bool taken = false;
        if (obj->type == ObjectType::Mesh && obj->mesh) {
            for (const Vertex& v : obj->mesh->vertices) {
                if (view.project(toWorld(world, v.position), s) && rect.contains(s)) {
                    taken = true;
                    break;
                }
            }
        } else {
            taken = view.project(glm::vec3(world[3]), s) && rect.contains(s);
        }
        if (taken)
            result.push_back(obj->id);
    }
    return result;
}

// [SECTION] Mesh components

std::optional<uint32_t> pickVertex(const MeshPickContext& ctx, const PickView& view, const glm::vec2& screen,
                                   float radius, PickCache* cache) {
    if (!ctx.mesh || ctx.mesh->vertices.empty())
        return std::nullopt;
    PickCache local;
    const PickMeshData& data = (cache ? *cache : local).get(*ctx.mesh, ctx.world, !ctx.xray);
    const PreparedView pv(view);

    float bestD2 = radius * radius;
    float bestDepth = kInf;
    std::optional<uint32_t> found;
    for (uint32_t i = 0; i < uint32_t(data.positions.size()); ++i) {
        const glm::vec3& p = data.positions[i];
        glm::vec2 s;
        float depth = 0.0f;
        if (!view.project(p, s, &depth))
            continue;
        const glm::vec2 delta = s - screen;
        const float d2 = glm::dot(delta, delta);
        // Clearly closer, or as close (within 0.001) and nearer the camera.
        bool candidate = false;
        if (bestD2 - 0.001f > d2)
            candidate = true;
        else if (std::fabs(d2 - bestD2) <= 0.001f)
            candidate = depth < bestDepth;
        if (!candidate)
            continue;
        if (!ctx.xray && !visibleAt(pv, data.bvh, p, s))
            continue;
        found = i;
        bestDepth = depth;
        bestD2 = d2;
    }
    return found;
}

std::optional<Edge> pickEdge(const MeshPickContext& ctx, const PickView& view, const glm::vec2& screen, float radius,
                             PickCache* cache) {
    if (!ctx.mesh)
        return std::nullopt;
    PickCache local;
    const PickMeshData& data = (cache ? *cache : local).get(*ctx.mesh, ctx.world, !ctx.xray, true);
    const PreparedView pv(view);

    // Each vertex projected once; an edge needs both ends to project.
    const size_t n = data.positions.size();
    std::vector<glm::vec2> screenOf(n);
    std::vector<uint8_t> projects(n);
    for (size_t i = 0; i < n; ++i)
        projects[i] = view.project(data.positions[i], screenOf[i]) ? 1 : 0;

    float bestD2 = radius * radius;
    std::optional<Edge> found;
    for (const Edge& e : data.edges) {
        if (e.a >= n || e.b >= n || !projects[e.a] || !projects[e.b])
            continue;
        float t = 0.0f;
        const float d2 = distanceToSegment2D(screen, screenOf[e.a], screenOf[e.b], &t);
        if (!(d2 < bestD2))
            continue;
        if (!ctx.xray) {
            // The world point under the closest screen point of the edge.
            const glm::vec3 p = data.positions[e.a] * (1.0f - t) + data.positions[e.b] * t;
            if (!visible(pv, data.bvh, p))
                continue;
        }
        found = e;
        bestD2 = d2;
    }
    return found;
}

std::optional<uint32_t> pickFace(const MeshPickContext& ctx, const PickView& view, const glm::vec2& screen,
                                 PickCache* cache) {
    if (!ctx.mesh)
        return std::nullopt;
    PickCache local;
    const PickMeshData& data = (cache ? *cache : local).get(*ctx.mesh, ctx.world, true);
    const TriangleBvh::Hit hit = data.bvh.closestHit(view.ray(screen));
    if (hit.triangle == TriangleBvh::kNoTriangle)
        return std::nullopt;
    return data.triangleFace[hit.triangle];
}

std::vector<uint32_t> verticesInRect(const MeshPickContext& ctx, const PickView& view, const glm::vec2& c1,
                                     const glm::vec2& c2, PickCache* cache) {
    std::vector<uint32_t> result;
    if (!ctx.mesh)
        return result;
    PickCache local;
    const PickMeshData& data = (cache ? *cache : local).get(*ctx.mesh, ctx.world, !ctx.xray);
    const PreparedView pv(view);
    const ScreenRect rect(c1, c2);
    for (uint32_t i = 0; i < uint32_t(data.positions.size()); ++i) {
        const glm::vec3& p = data.positions[i];
        glm::vec2 s;
        if (!view.project(p, s) || !rect.contains(s))
            continue;
        if (!ctx.xray && !visibleAt(pv, data.bvh, p, s))
            continue;
        result.push_back(i);
    }
    return result;
}

} // namespace orva
