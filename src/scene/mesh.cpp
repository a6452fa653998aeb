#include "scene/mesh.h"

#include <atomic>
#include <cmath>
#include <cstring>

// [SECTION] Identity, copy and move
// [SECTION] Building and simple queries
// [SECTION] Edges
// [SECTION] Normals
// [SECTION] Ear clipping
// [SECTION] Triangulation of the whole mesh
// [SECTION] Validation

namespace orva {

namespace {

// Newell's sum over the sides of a polygon: twice its area, pointing to the side from which the
// corners run counter-clockwise. Every normal of this file goes through here so that a face's
// normal has the same bits whichever query computed it.
glm::vec3 newellSum(const std::vector<Vertex>& vertices, const std::vector<uint32_t>& indices) {
    glm::vec3 n(0.0f);
    const size_t count = indices.size();
    for (size_t i = 0; i < count; ++i) {
        const glm::vec3& p = vertices[indices[i]].position;
        const glm::vec3& q = vertices[indices[i + 1 == count ? 0 : i + 1]].position;
        n.x += (p.y - q.y) * (p.z + q.z);
        n.y += (p.z - q.z) * (p.x + q.x);
        n.z += (p.x - q.x) * (p.y + q.y);
    }
    return n;
}

glm::vec3 normalizedOrUp(const glm::vec3& n) {
    const float len = glm::length(n);
    return len > 1e-20f ? n / len : glm::vec3(0.0f, 1.0f, 0.0f);
}

// True when every corner names an existing vertex. Producers keep this invariant; the whole-mesh
// queries still check it so that a corrupt mesh degrades to missing faces instead of a crash.
bool indicesInRange(const Face& face, size_t vertexCount) {
    for (uint32_t index : face.indices)
        if (index >= vertexCount)
            return false;
    return true;
}

size_t nextPowerOfTwo(size_t n) {
    size_t p = 16;
    while (p < n)
        p <<= 1;
    return p;
}

} // namespace

// [SECTION] Identity, copy and move

uint64_t Mesh::nextMeshUid() {
    static std::atomic<uint64_t> counter{1};
    return counter.fetch_add(1, std::memory_order_relaxed);
}

Mesh::Mesh() : uid(nextMeshUid()) {}

Mesh::Mesh(const Mesh& other) : vertices(other.vertices), faces(other.faces), uid(nextMeshUid()) {}

Mesh::Mesh(Mesh&& other) noexcept
    : vertices(std::move(other.vertices)), faces(std::move(other.faces)), uid(other.uid), revision(other.revision) {
    other.vertices.clear();
    other.faces.clear();
    other.uid = nextMeshUid();
}

Mesh& Mesh::operator=(const Mesh& other) {
    if (this == &other)
        return *this;
    vertices = other.vertices;
    faces = other.faces;
    ++revision;
    return *this;
}

Mesh& Mesh::operator=(Mesh&& other) noexcept {
    if (this == &other)
        return *this;
    vertices = std::move(other.vertices);
    faces = std::move(other.faces);
    ++revision;
    // The source keeps its uid but lost its content: a new revision makes any GPU copy of it stale.
    other.vertices.clear();
    other.faces.clear();
    ++other.revision;
    return *this;
}

// [SECTION] Building and simple queries

void Mesh::clear() {
    vertices.clear();
    faces.clear();
    ++revision;
}

uint32_t Mesh::addVertex(const glm::vec3& position) {
    vertices.push_back(Vertex{position});
    return uint32_t(vertices.size() - 1);
}

uint32_t Mesh::addFace(std::vector<uint32_t> indices, std::vector<glm::vec2> uvs, bool smooth) {
    Face face;
    face.indices = std::move(indices);
    if (uvs.size() == face.indices.size())
        face.uvs = std::move(uvs);
    face.smooth = smooth;
    faces.push_back(std::move(face));
    return uint32_t(faces.size() - 1);
}

bool Mesh::hasUVs() const {
    for (const Face& face : faces)
        if (face.hasUVs())
            return true;
    return false;
}

AABB Mesh::bounds() const {
    AABB box;
    box.min = glm::vec3(1e30f);
    box.max = glm::vec3(-1e30f);
    for (const Vertex& v : vertices) {
        box.min = glm::min(box.min, v.position);
        box.max = glm::max(box.max, v.position);
    }
    return box;
}

glm::vec3 Mesh::faceNormalWeighted(uint32_t face) const { return newellSum(vertices, faces[face].indices); }

glm::vec3 Mesh::faceNormal(uint32_t face) const { return normalizedOrUp(newellSum(vertices, faces[face].indices)); }

glm::vec3 Mesh::faceCenter(uint32_t face) const {
    const std::vector<uint32_t>& indices = faces[face].indices;
    if (indices.empty())
        return glm::vec3(0.0f);
    glm::vec3 sum(0.0f);
    for (uint32_t index : indices)
        sum += vertices[index].position;
    return sum / float(indices.size());
}

void Mesh::setSmooth(bool smooth) {
    for (Face& face : faces)
        face.smooth = smooth;
    ++revision;
}

// [SECTION] Edges

namespace {

// Open-addressing set of edges packed as EdgeHash values ((a << 32) | b with a < b). A side joining
// a vertex to itself is never inserted, so the value 0 (a = b = 0) marks an empty slot.
class EdgeSet {
public:
    explicit EdgeSet(size_t expected) : slots_(nextPowerOfTwo(expected * 2)), mask_(slots_.size() - 1) {}

    // True when the key was not in the set yet.
    bool insert(uint64_t key) {
        if ((count_ + 1) * 2 > slots_.size())
            grow();
        for (size_t i = slotOf(key);; i = (i + 1) & mask_) {
            if (slots_[i] == key)
                return false;
            if (slots_[i] == 0) {
                slots_[i] = key;
                ++count_;
                return true;
            }
        }
    }

private:
    size_t slotOf(uint64_t key) const { return size_t((key * 0x9E3779B97F4A7C15ull) >> 32) & mask_; }

    void grow() {
        std::vector<uint64_t> old(slots_.size() * 2);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        for (uint64_t key : old) {
            if (key == 0)
                continue;
            size_t i = slotOf(key);
            while (slots_[i] != 0)
                i = (i + 1) & mask_;
            slots_[i] = key;
        }
    }

    std::vector<uint64_t> slots_;
    size_t mask_;
    size_t count_ = 0;
};

} // namespace

std::vector<Edge> Mesh::edges() const {
    size_t corners = 0;
    for (const Face& face : faces)
        corners += face.indices.size();
    std::vector<Edge> result;
    if (corners == 0)
        return result;
    // A closed surface has half as many edges as corners; an open one a little more.
    result.reserve(corners / 2 + 1);
    EdgeSet seen(corners / 2 + 1);
    const EdgeHash hash;
    for (const Face& face : faces) {
        const size_t n = face.indices.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = face.indices[i], q = face.indices[i + 1 == n ? 0 : i + 1];
            if (p == q)
                continue;
            const Edge edge = Edge::make(p, q);
            if (seen.insert(uint64_t(hash(edge))))
                result.push_back(edge);
        }
    }
    return result;
}

// [SECTION] Normals

std::vector<glm::vec3> Mesh::smoothVertexNormals() const {
    std::vector<glm::vec3> normals(vertices.size(), glm::vec3(0.0f));
    for (const Face& face : faces) {
        if (!face.smooth || !indicesInRange(face, vertices.size()))
            continue;
        // Unnormalised on purpose: larger faces weigh more.
        const glm::vec3 n = newellSum(vertices, face.indices);
        for (uint32_t index : face.indices)
            normals[index] += n;
    }
    for (glm::vec3& n : normals)
        n = normalizedOrUp(n);
    return normals;
}

// [SECTION] Ear clipping

namespace {

// Reusable buffers so that triangulating a whole mesh allocates only for its largest polygon.
struct EarClipScratch {
    std::vector<glm::dvec2> points; // corners projected to the dominant plane
    std::vector<uint32_t> remaining;
};

double cross2(const glm::dvec2& a, const glm::dvec2& b) { return a.x * b.y - a.y * b.x; }

// Ear clipping of one polygon of n >= 3 corners whose Newell sum is `normal`; calls emit(i, j, k)
// with corner positions within the face, n - 2 times. The 2D work is in double so that nearly
// collinear corners of float input are judged on their real geometry.
template <class Emit>
void clipEars(const std::vector<Vertex>& vertices, const std::vector<uint32_t>& indices, const glm::vec3& normal,
              EarClipScratch& scratch, Emit&& emit) {
    const uint32_t n = uint32_t(indices.size());
    if (n < 3)
        return;
    if (n == 3) {
        emit(0u, 1u, 2u);
        return;
    }

    // Project by dropping the normal's dominant axis.
    const float ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    int ui = 0, vi = 1;
    if (ax >= ay && ax >= az) {
        ui = 1;
        vi = 2;
    } else if (ay >= az) {
        ui = 0;
        vi = 2;
    }
    std::vector<glm::dvec2>& pts = scratch.points;
    pts.resize(n);
    for (uint32_t i = 0; i < n; ++i) {
        const glm::vec3& p = vertices[indices[i]].position;
        pts[i] = glm::dvec2(p[ui], p[vi]);
    }

    double area2 = 0.0;
    for (uint32_t i = 0; i < n; ++i)
        area2 += cross2(pts[i], pts[i + 1 == n ? 0 : i + 1]);
    const double s = area2 >= 0.0 ? 1.0 : -1.0;
    const double eps = (std::fabs(area2) + 1e-30) * 1e-12;

    std::vector<uint32_t>& list = scratch.remaining;
    list.resize(n);
    for (uint32_t i = 0; i < n; ++i)
        list[i] = i;

    while (list.size() > 3) {
        const size_t m = list.size();
        bool clipped = false;
        for (size_t l = 0; l < m && !clipped; ++l) {
            const uint32_t prev = list[l == 0 ? m - 1 : l - 1], cur = list[l], next = list[l + 1 == m ? 0 : l + 1];
            const glm::dvec2 &a = pts[prev], &b = pts[cur], &c = pts[next];
            if (s * cross2(b - a, c - a) <= eps)
                continue; // reflex or flat
            bool blocked = false;
            for (uint32_t other : list) {
                if (other == prev || other == cur || other == next)
                    continue;
                const glm::dvec2& p = pts[other];
                if (s * cross2(b - a, p - a) >= 0.0 && s * cross2(c - b, p - b) >= 0.0 &&
                    s * cross2(a - c, p - c) >= 0.0) {
                    blocked = true;
                    break;
                }
            }
            if (blocked)
                continue;
            emit(prev, cur, next);
            list.erase(list.begin() + std::ptrdiff_t(l));
            clipped = true;
        }
        if (!clipped) {
            // Degenerate or self-intersecting: a fan still covers every corner.
            for (size_t k = 2; k < m; ++k)
                emit(list[0], list[k - 1], list[k]);
            return;
        }
    }
    emit(list[0], list[1], list[2]);
}

} // namespace

std::vector<std::array<uint32_t, 3>> Mesh::triangulateFace(uint32_t face) const {
    const std::vector<uint32_t>& indices = faces[face].indices;
    std::vector<std::array<uint32_t, 3>> result;
    if (indices.size() < 3)
        return result;
    result.reserve(indices.size() - 2);
    EarClipScratch scratch;
    const glm::vec3 normal = indices.size() == 3 ? glm::vec3(0.0f) : newellSum(vertices, indices);
    clipEars(vertices, indices, normal, scratch, [&](uint32_t i, uint32_t j, uint32_t k) {
        result.push_back({i, j, k});
    });
    return result;
}

// [SECTION] Triangulation of the whole mesh

namespace {

// Float bits for corner comparison, with -0 folded onto +0.
uint32_t keyBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof(u));
    return u == 0x80000000u ? 0u : u;
}

// A corner of the output: the vertex with the normal and UV it is drawn with. Floats are compared
// bitwise (after folding -0), so corners merge only when they would render identically.
struct CornerKey {
    uint32_t vertex;
    uint32_t normal[3];
    uint32_t uv[2];

    CornerKey(uint32_t v, const glm::vec3& n, const glm::vec2& t)
        : vertex(v), normal{keyBits(n.x), keyBits(n.y), keyBits(n.z)}, uv{keyBits(t.x), keyBits(t.y)} {}
    bool operator==(const CornerKey& o) const { return std::memcmp(this, &o, sizeof(CornerKey)) == 0; }
};
static_assert(sizeof(CornerKey) == 24, "CornerKey must have no padding: it is compared with memcmp");

struct CornerKeyHash {
    uint32_t operator()(const CornerKey& k) const {
        uint64_t h = uint64_t(k.vertex) * 0x9E3779B97F4A7C15ull;
        const uint32_t words[5] = {k.normal[0], k.normal[1], k.normal[2], k.uv[0], k.uv[1]};
        for (uint32_t w : words)
            h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
        return uint32_t(h >> 32);
    }
};

constexpr uint32_t kNoCorner = 0xFFFFFFFFu;

// Map from CornerKey to output vertex index, in two tiers. Most vertices carry a handful of
// distinct corners, and faces visit neighbouring vertices together, so the first tier is a short
// chain per vertex (head per vertex, next per output): lookups stay in cache where a hash table of
// millions of slots would miss on nearly every corner. A vertex whose chain is full (a fan centre
// of many flat faces) continues in the second tier, an open-addressing table hashed by
// CornerKeyHash, so no lookup costs more than a fixed chain walk plus one hash probe sequence.
class CornerMap {
public:
    CornerMap(size_t vertexCount, size_t expectedCorners) : head_(vertexCount, kNoCorner) {
        keys_.reserve(expectedCorners);
        next_.reserve(expectedCorners);
        chainLength_.resize(vertexCount, 0);
    }

    // The output index of `key`; when absent, records it under the next output index and sets
    // `inserted`.
    uint32_t findOrInsert(const CornerKey& key, bool& inserted) {
        const uint32_t v = key.vertex;
        for (uint32_t out = head_[v]; out != kNoCorner; out = next_[out]) {
            if (keys_[out] == key) {
                inserted = false;
                return out;
            }
        }
        if (chainLength_[v] < kMaxChain) {
            ++chainLength_[v];
            const uint32_t out = append(key);
            next_[out] = head_[v];
            head_[v] = out;
            inserted = true;
            return out;
        }
        return findOrInsertOverflow(key, inserted);
    }

private:
    static constexpr uint8_t kMaxChain = 16;

    struct Slot {
        uint32_t hash = 0;
        uint32_t indexPlusOne = 0; // 0: empty
    };

    uint32_t append(const CornerKey& key) {
        keys_.push_back(key);
        next_.push_back(kNoCorner);
        return uint32_t(keys_.size() - 1);
    }

    uint32_t findOrInsertOverflow(const CornerKey& key, bool& inserted) {
        if ((overflowCount_ + 1) * 2 > slots_.size())
            grow();
        const uint32_t hash = CornerKeyHash()(key);
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.indexPlusOne == 0) {
                const uint32_t out = append(key);
                slot.hash = hash;
                slot.indexPlusOne = out + 1;
                ++overflowCount_;
                inserted = true;
                return out;
            }
            if (slot.hash == hash && keys_[slot.indexPlusOne - 1] == key) {
                inserted = false;
                return slot.indexPlusOne - 1;
            }
        }
    }

    // Slots keep the key's hash, so growing never touches a key.
    void grow() {
        std::vector<Slot> old(slots_.empty() ? 64 : slots_.size() * 2);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.indexPlusOne == 0)
                continue;
            size_t i = slot.hash & mask_;
            while (slots_[i].indexPlusOne != 0)
                i = (i + 1) & mask_;
            slots_[i] = slot;
        }
    }

    std::vector<CornerKey> keys_;      // per output vertex
    std::vector<uint32_t> next_;       // per output vertex: next output of the same vertex's chain
    std::vector<uint32_t> head_;       // per vertex: latest output of its chain
    std::vector<uint8_t> chainLength_; // per vertex
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    size_t overflowCount_ = 0;
};

} // namespace

TriangleMesh Mesh::triangulate() const {
    TriangleMesh out;
    size_t triangleCount = 0;
    bool anySmooth = false;
    for (const Face& face : faces) {
        if (face.indices.size() >= 3)
            triangleCount += face.indices.size() - 2;
        anySmooth = anySmooth || face.smooth;
    }
    if (triangleCount == 0)
        return out;

    const std::vector<glm::vec3> smoothNormals = anySmooth ? smoothVertexNormals() : std::vector<glm::vec3>();
    // Most meshes have between one and a few output vertices per vertex.
    const size_t expected = vertices.size() + vertices.size() / 2;
    CornerMap corners(vertices.size(), expected);
    out.positions.reserve(expected);
    out.normals.reserve(expected);
    out.uvs.reserve(expected);
    out.indices.reserve(triangleCount * 3);

    EarClipScratch scratch;
    std::vector<uint32_t> outIndex;
    for (const Face& face : faces) {
        const size_t n = face.indices.size();
        if (n < 3 || !indicesInRange(face, vertices.size()))
            continue;
        const glm::vec3 weighted = n > 3 || !face.smooth ? newellSum(vertices, face.indices) : glm::vec3(0.0f);
        const glm::vec3 faceNormal = face.smooth ? glm::vec3(0.0f) : normalizedOrUp(weighted);
        const bool withUVs = face.hasUVs();

        outIndex.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const uint32_t v = face.indices[i];
            const glm::vec3& normal = face.smooth ? smoothNormals[v] : faceNormal;
            const glm::vec2 uv = withUVs ? face.uvs[i] : glm::vec2(0.0f);
            bool inserted = false;
            const uint32_t index = corners.findOrInsert(CornerKey(v, normal, uv), inserted);
            if (inserted) {
                out.positions.push_back(vertices[v].position);
                out.normals.push_back(normal);
                out.uvs.push_back(uv);
            }
            outIndex[i] = index;
        }

        clipEars(vertices, face.indices, weighted, scratch, [&](uint32_t i, uint32_t j, uint32_t k) {
            out.indices.push_back(outIndex[i]);
            out.indices.push_back(outIndex[j]);
            out.indices.push_back(outIndex[k]);
        });
    }
    return out;
}

// [SECTION] Validation

bool Mesh::validate(std::string* error) const {
    for (size_t f = 0; f < faces.size(); ++f) {
        const Face& face = faces[f];
        std::string message;
        if (face.indices.size() < 3) {
            message = "face " + std::to_string(f) + " has fewer than 3 vertices";
        } else if (!face.uvs.empty() && face.uvs.size() != face.indices.size()) {
            message = "face " + std::to_string(f) + " has mismatched UV count";
        } else {
            for (uint32_t index : face.indices) {
                if (index >= vertices.size()) {
                    message = "face " + std::to_string(f) + " references missing vertex " + std::to_string(index);
                    break;
                }
            }
        }
        if (!message.empty()) {
            if (error)
                *error = std::move(message);
            return false;
        }
    }
    return true;
}

} // namespace orva
