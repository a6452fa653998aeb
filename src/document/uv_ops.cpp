#include "document/uv_ops.h"

#include <algorithm>
#include <cmath>
#include <utility>

// [SECTION] Helpers
// [SECTION] Projections
// [SECTION] Corner lists
// [SECTION] Islands
// [SECTION] Picking
// [SECTION] Moving corners

namespace orva::uv {
namespace {

constexpr float kSamePoint = 1e-5f;
constexpr float kTwoPi = 6.28318530718f;
constexpr float kPi = 3.14159265359f;

//-----------------------------------------------------------------------------
// [SECTION] Helpers
//-----------------------------------------------------------------------------

bool samePoint(const glm::vec2& a, const glm::vec2& b) {
    return std::abs(a.x - b.x) <= kSamePoint && std::abs(a.y - b.y) <= kSamePoint;
}

bool isValidCorner(const Mesh& mesh, const Corner& c) {
    return c.face < mesh.faces.size() && mesh.faces[c.face].hasUVs() && c.corner < mesh.faces[c.face].indices.size();
}

const glm::vec2& uvOf(const Mesh& mesh, const Corner& c) { return mesh.faces[c.face].uvs[c.corner]; }

bool isNormalized(const std::vector<Corner>& corners) {
    return std::adjacent_find(corners.begin(), corners.end(),
                              [](const Corner& a, const Corner& b) { return !(a < b); }) == corners.end();
}

// u' = a cos - b sin, v' = a sin + b cos.
glm::vec2 rotate(const glm::vec2& v, float cosA, float sinA) {
    return {v.x * cosA - v.y * sinA, v.x * sinA + v.y * cosA};
}

// The faces a projection writes: an empty list means all; faces that do not exist, repeat an earlier
// entry or name a missing vertex are left out (repeating a face would transform its UVs twice).
std::vector<uint32_t> projectionTargets(const Mesh& mesh, const std::vector<uint32_t>& faces) {
    const size_t vertexCount = mesh.vertices.size();
    auto usable = [&](uint32_t f) {
        for (uint32_t v : mesh.faces[f].indices)
            if (v >= vertexCount)
                return false;
        return true;
    };
    std::vector<uint32_t> targets;
    if (faces.empty()) {
        targets.reserve(mesh.faces.size());
        for (size_t f = 0; f < mesh.faces.size(); ++f)
            if (usable(uint32_t(f)))
                targets.push_back(uint32_t(f));
        return targets;
    }
    std::vector<uint8_t> taken(mesh.faces.size(), 0);
    for (uint32_t f : faces) {
        if (f >= mesh.faces.size() || taken[f] || !usable(f))
            continue;
        taken[f] = 1;
        targets.push_back(f);
    }
    return targets;
}

void ensureUvs(Face& face) {
    if (!face.hasUVs())
        face.uvs.assign(face.indices.size(), glm::vec2(0.0f));
}

float tileFactor(float tileSize) { return 1.0f / (tileSize >= 1e-6f ? tileSize : 1e-6f); }

float signOf(float s) { return s > 0.0f ? 1.0f : (s < 0.0f ? -1.0f : 0.0f); }

// The box rule: the dominant axis of n picks the plane, its sign the reading direction.
glm::vec2 boxUv(const glm::vec3& n, const glm::vec3& p) {
    const glm::vec3 a = glm::abs(n);
    if (a.x >= a.y && a.x >= a.z)
        return {n.x >= 0.0f ? -p.z : p.z, p.y};
    if (a.y >= a.z)
        return {p.x, n.y >= 0.0f ? -p.z : p.z};
    return {n.z >= 0.0f ? p.x : -p.x, p.y};
}

// Centre of the bounds of the vertices the targets use; the origin when they use none.
glm::vec3 usedCenter(const Mesh& mesh, const std::vector<uint32_t>& targets, float* yMin, float* yMax) {
    glm::vec3 lo(1e30f), hi(-1e30f);
    bool any = false;
    for (uint32_t f : targets)
        for (uint32_t v : mesh.faces[f].indices) {
            lo = glm::min(lo, mesh.vertices[v].position);
            hi = glm::max(hi, mesh.vertices[v].position);
            any = true;
        }
    if (!any)
        lo = hi = glm::vec3(0.0f);
    *yMin = lo.y;
    *yMax = hi.y;
    return (lo + hi) * 0.5f;
}

// A face whose u values span more than half the texture crossed the back seam: its low side moves
// past u = 1 instead of stretching back across the texture.
void fixSeam(Face& face) {
    if (face.uvs.empty())
        return;
    float lo = face.uvs[0].x, hi = face.uvs[0].x;
    for (const glm::vec2& uv : face.uvs) {
        lo = std::min(lo, uv.x);
        hi = std::max(hi, uv.x);
    }
    if (hi - lo <= 0.5f)
        return;
    for (glm::vec2& uv : face.uvs)
        if (uv.x < 0.5f)
            uv.x += 1.0f;
}

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Projections
//-----------------------------------------------------------------------------

void projectBox(Mesh& mesh, const std::vector<uint32_t>& faces, float tileSize, const glm::vec3& scale) {
    const float t = tileFactor(tileSize);
    const glm::vec3 mirror(signOf(scale.x), signOf(scale.y), signOf(scale.z));
    for (uint32_t f : projectionTargets(mesh, faces)) {
        const glm::vec3 n = mesh.faceNormal(f) * mirror;
        Face& face = mesh.faces[f];
        ensureUvs(face);
        for (size_t i = 0; i < face.indices.size(); ++i)
            face.uvs[i] = boxUv(n, mesh.vertices[face.indices[i]].position * scale) * t;
    }
    ++mesh.revision;
}

void projectPlanar(Mesh& mesh, const std::vector<uint32_t>& faces, Axis axis, float tileSize, const glm::vec3& scale) {
    if (axis != Axis::X && axis != Axis::Y && axis != Axis::Z)
        return;
    const float t = tileFactor(tileSize);
    for (uint32_t f : projectionTargets(mesh, faces)) {
        Face& face = mesh.faces[f];
        ensureUvs(face);
        for (size_t i = 0; i < face.indices.size(); ++i) {
            const glm::vec3 p = mesh.vertices[face.indices[i]].position * scale;
            const glm::vec2 uv = axis == Axis::X   ? glm::vec2(-p.z, p.y)
                                 : axis == Axis::Y ? glm::vec2(p.x, -p.z)
                                                   : glm::vec2(p.x, p.y);
            face.uvs[i] = uv * t;
        }
    }
    ++mesh.revision;
}

void projectCylinder(Mesh& mesh, const std::vector<uint32_t>& faces) {
    const std::vector<uint32_t> targets = projectionTargets(mesh, faces);
    float yMin = 0.0f, yMax = 0.0f;
    const glm::vec3 c = usedCenter(mesh, targets, &yMin, &yMax);
    const float height = std::max(yMax - yMin, 1e-6f);
    for (uint32_t f : targets) {
        Face& face = mesh.faces[f];
        ensureUvs(face);
        for (size_t i = 0; i < face.indices.size(); ++i) {
            const glm::vec3& p = mesh.vertices[face.indices[i]].position;
            face.uvs[i] = {std::atan2(p.x - c.x, p.z - c.z) / kTwoPi + 0.5f, (p.y - yMin) / height};
        }
        fixSeam(face);
    }
    ++mesh.revision;
}

void projectSphere(Mesh& mesh, const std::vector<uint32_t>& faces) {
    const std::vector<uint32_t> targets = projectionTargets(mesh, faces);
    float yMin = 0.0f, yMax = 0.0f;
    const glm::vec3 c = usedCenter(mesh, targets, &yMin, &yMax);
    for (uint32_t f : targets) {
        Face& face = mesh.faces[f];
        ensureUvs(face);
        for (size_t i = 0; i < face.indices.size(); ++i) {
            glm::vec3 d = mesh.vertices[face.indices[i]].position - c;
            const float length = glm::length(d);
            d = length > 1e-8f ? d / length : glm::vec3(0.0f, 1.0f, 0.0f);
            face.uvs[i] = {std::atan2(d.x, d.z) / kTwoPi + 0.5f, std::asin(std::clamp(d.y, -1.0f, 1.0f)) / kPi + 0.5f};
        }
        fixSeam(face);
    }
    ++mesh.revision;
}

void resetPerFace(Mesh& mesh, const std::vector<uint32_t>& faces) {
    for (uint32_t f : projectionTargets(mesh, faces)) {
        const glm::vec3 n = mesh.faceNormal(f);
        Face& face = mesh.faces[f];
        ensureUvs(face);
        const size_t count = face.indices.size();
        if (count == 4) {
            face.uvs = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
            continue;
        }
        if (count == 0)
            continue;
        glm::vec2 lo(1e30f), hi(-1e30f);
        for (size_t i = 0; i < count; ++i) {
            face.uvs[i] = boxUv(n, mesh.vertices[face.indices[i]].position);
            lo = glm::min(lo, face.uvs[i]);
            hi = glm::max(hi, face.uvs[i]);
        }
        // One factor for both axes keeps the face's shape.
        const float s = std::max(std::max(hi.x - lo.x, 1e-6f), std::max(hi.y - lo.y, 1e-6f));
        for (glm::vec2& uv : face.uvs)
            uv = (uv - lo) / s;
    }
    ++mesh.revision;
}

void fitToUnit(Mesh& mesh, const std::vector<uint32_t>& faces) {
    const std::vector<uint32_t> targets = projectionTargets(mesh, faces);
    glm::vec2 lo(1e30f), hi(-1e30f);
    for (uint32_t f : targets) {
        ensureUvs(mesh.faces[f]);
        for (const glm::vec2& uv : mesh.faces[f].uvs) {
            lo = glm::min(lo, uv);
            hi = glm::max(hi, uv);
        }
    }
    const glm::vec2 size = glm::max(hi - lo, glm::vec2(1e-6f));
    for (uint32_t f : targets)
        for (glm::vec2& uv : mesh.faces[f].uvs)
            uv = (uv - lo) / size;
    ++mesh.revision;
}

void transform(Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& translate, const glm::vec2& scale,
               float angleDegrees) {
    const std::vector<uint32_t> targets = projectionTargets(mesh, faces);
    glm::vec2 lo(1e30f), hi(-1e30f);
    for (uint32_t f : targets) {
        ensureUvs(mesh.faces[f]);
        for (const glm::vec2& uv : mesh.faces[f].uvs) {
            lo = glm::min(lo, uv);
            hi = glm::max(hi, uv);
        }
    }
    const glm::vec2 pivot = (lo + hi) * 0.5f;
    const float angle = angleDegrees * kDegToRad;
    const float cosA = std::cos(angle), sinA = std::sin(angle);
    for (uint32_t f : targets)
        for (glm::vec2& uv : mesh.faces[f].uvs)
            uv = rotate((uv - pivot) * scale, cosA, sinA) + pivot + translate;
    ++mesh.revision;
}

//-----------------------------------------------------------------------------
// [SECTION] Corner lists
//-----------------------------------------------------------------------------

void normalize(std::vector<Corner>& corners) {
    std::sort(corners.begin(), corners.end());
    corners.erase(std::unique(corners.begin(), corners.end()), corners.end());
}

bool contains(const std::vector<Corner>& normalized, const Corner& corner) {
    return std::binary_search(normalized.begin(), normalized.end(), corner);
}

void combine(std::vector<Corner>& selection, const std::vector<Corner>& corners, SetOp op) {
    if (op != SetOp::Replace && op != SetOp::Add && op != SetOp::Remove && op != SetOp::Toggle)
        return;
    std::vector<Corner> incoming = corners;
    normalize(incoming);
    if (op == SetOp::Replace) {
        selection = std::move(incoming);
        return;
    }
    if (!isNormalized(selection))
        normalize(selection);
    if (op == SetOp::Toggle)
        op = std::includes(selection.begin(), selection.end(), incoming.begin(), incoming.end()) ? SetOp::Remove
                                                                                                 : SetOp::Add;
    std::vector<Corner> result;
    result.reserve(op == SetOp::Add ? selection.size() + incoming.size() : selection.size());
    if (op == SetOp::Add)
        std::set_union(selection.begin(), selection.end(), incoming.begin(), incoming.end(),
                       std::back_inserter(result));
    else
        std::set_difference(selection.begin(), selection.end(), incoming.begin(), incoming.end(),
                            std::back_inserter(result));
    selection = std::move(result);
}

void dropInvalid(const Mesh& mesh, std::vector<Corner>& corners) {
    std::erase_if(corners, [&](const Corner& c) { return !isValidCorner(mesh, c); });
}

std::vector<uint32_t> visibleFaces(const Mesh& mesh, const std::vector<uint32_t>& faces) {
    std::vector<uint32_t> result;
    if (faces.empty()) {
        for (size_t f = 0; f < mesh.faces.size(); ++f)
            if (mesh.faces[f].hasUVs())
                result.push_back(uint32_t(f));
        return result;
    }
    result.reserve(faces.size());
    for (uint32_t f : faces)
        if (f < mesh.faces.size() && mesh.faces[f].hasUVs())
            result.push_back(f);
    return result;
}

std::vector<Corner> sharedPoint(const Mesh& mesh, const std::vector<uint32_t>& visible, Corner corner) {
    if (!isValidCorner(mesh, corner))
        return {};
    const uint32_t vertex = mesh.faces[corner.face].indices[corner.corner];
    const glm::vec2 uv = uvOf(mesh, corner);
    std::vector<Corner> result;
    for (uint32_t f : visibleFaces(mesh, visible)) {
        const Face& face = mesh.faces[f];
        for (size_t i = 0; i < face.indices.size(); ++i)
            if (face.indices[i] == vertex && samePoint(face.uvs[i], uv))
                result.push_back(Corner{f, uint32_t(i)});
    }
    if (result.empty())
        result.push_back(corner);
    normalize(result);
    return result;
}

std::vector<Corner> faceCorners(const Mesh& mesh, uint32_t face) {
    std::vector<Corner> result;
    if (face >= mesh.faces.size())
        return result;
    const size_t n = mesh.faces[face].indices.size();
    result.reserve(n);
    for (size_t i = 0; i < n; ++i)
        result.push_back(Corner{face, uint32_t(i)});
    return result;
}

std::vector<Corner> cornersOfFaces(const Mesh& mesh, const std::vector<uint32_t>& faces) {
    std::vector<Corner> result;
    for (uint32_t f : visibleFaces(mesh, faces))
        for (size_t i = 0; i < mesh.faces[f].indices.size(); ++i)
            result.push_back(Corner{f, uint32_t(i)});
    return result;
}

std::vector<uint32_t> fullySelectedFaces(const Mesh& mesh, const std::vector<Corner>& normalized) {
    std::vector<Corner> sorted;
    const std::vector<Corner>* list = &normalized;
    if (!isNormalized(normalized)) {
        sorted = normalized;
        normalize(sorted);
        list = &sorted;
    }
    std::vector<uint32_t> result;
    for (size_t k = 0; k < list->size();) {
        const uint32_t f = (*list)[k].face;
        size_t inFace = 0;
        size_t end = k;
        const size_t n = f < mesh.faces.size() ? mesh.faces[f].indices.size() : 0;
        for (; end < list->size() && (*list)[end].face == f; ++end)
            if ((*list)[end].corner < n)
                ++inFace;
        if (n > 0 && inFace == n)
            result.push_back(f);
        k = end;
    }
    return result;
}

//-----------------------------------------------------------------------------
// [SECTION] Islands
//-----------------------------------------------------------------------------

std::vector<uint32_t> island(const Mesh& mesh, const std::vector<uint32_t>& faces, uint32_t start) {
    if (start >= mesh.faces.size() || !mesh.faces[start].hasUVs())
        return {};

    // Edge table: (edge, face) pairs sorted by edge, looked up by binary search.
    struct EdgeFace {
        Edge edge;
        uint32_t face;
    };
    auto edgeLess = [](const Edge& l, const Edge& r) { return l.a != r.a ? l.a < r.a : l.b < r.b; };
    std::vector<EdgeFace> table;
    for (uint32_t f : visibleFaces(mesh, faces)) {
        const std::vector<uint32_t>& idx = mesh.faces[f].indices;
        for (size_t i = 0; i < idx.size(); ++i) {
            const uint32_t a = idx[i], b = idx[i + 1 < idx.size() ? i + 1 : 0];
            if (a != b)
                table.push_back(EdgeFace{Edge::make(a, b), f});
        }
    }
    std::sort(table.begin(), table.end(), [&](const EdgeFace& l, const EdgeFace& r) {
        return l.edge != r.edge ? edgeLess(l.edge, r.edge) : l.face < r.face;
    });

    // The first corner of `face` at `vertex`, or the face's corner count when there is none.
    auto cornerAt = [&](const Face& face, uint32_t vertex) {
        return size_t(std::find(face.indices.begin(), face.indices.end(), vertex) - face.indices.begin());
    };

    std::vector<uint8_t> reached(mesh.faces.size(), 0);
    std::vector<uint32_t> result{start};
    std::vector<uint32_t> pending{start};
    reached[start] = 1;
    while (!pending.empty()) {
        const uint32_t current = pending.back();
        pending.pop_back();
        const Face& face = mesh.faces[current];
        const size_t n = face.indices.size();
        for (size_t i = 0; i < n; ++i) {
            const size_t j = i + 1 < n ? i + 1 : 0;
            const uint32_t a = face.indices[i], b = face.indices[j];
            if (a == b)
                continue;
            const Edge e = Edge::make(a, b);
            auto it = std::lower_bound(table.begin(), table.end(), e, [&](const EdgeFace& entry, const Edge& key) {
                return edgeLess(entry.edge, key);
            });
            for (; it != table.end() && it->edge == e; ++it) {
                const uint32_t f = it->face;
                if (reached[f])
                    continue;
                const Face& other = mesh.faces[f];
                const size_t ca = cornerAt(other, a), cb = cornerAt(other, b);
                if (ca >= other.indices.size() || cb >= other.indices.size())
                    continue;
                if (samePoint(other.uvs[ca], face.uvs[i]) && samePoint(other.uvs[cb], face.uvs[j])) {
                    reached[f] = 1;
                    result.push_back(f);
                    pending.push_back(f);
                }
            }
        }
    }
    std::sort(result.begin(), result.end());
    return result;
}

//-----------------------------------------------------------------------------
// [SECTION] Picking
//-----------------------------------------------------------------------------

bool pickCorner(const Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& p, float radius, Corner& out) {
    float best = radius;
    bool found = false;
    for (uint32_t f : visibleFaces(mesh, faces)) {
        const Face& face = mesh.faces[f];
        for (size_t i = 0; i < face.uvs.size(); ++i) {
            const float d = glm::length(face.uvs[i] - p);
            if (d <= best) {
                best = d;
                out = Corner{f, uint32_t(i)};
                found = true;
            }
        }
    }
    return found;
}

bool pickEdge(const Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& p, float radius, Corner& outA,
              Corner& outB) {
    float best = radius;
    bool found = false;
    for (uint32_t f : visibleFaces(mesh, faces)) {
        const Face& face = mesh.faces[f];
        const size_t n = face.uvs.size();
        for (size_t i = 0; i < n; ++i) {
            const size_t j = i + 1 < n ? i + 1 : 0;
            const float d = std::sqrt(distanceToSegment2D(p, face.uvs[i], face.uvs[j]));
            if (d <= best) {
                best = d;
                outA = Corner{f, uint32_t(i)};
                outB = Corner{f, uint32_t(j)};
                found = true;
            }
        }
    }
    return found;
}

int pickFace(const Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& p) {
    int best = -1;
    float bestArea = 0.0f;
    for (uint32_t f : visibleFaces(mesh, faces)) {
        const std::vector<glm::vec2>& uv = mesh.faces[f].uvs;
        const size_t n = uv.size();
        bool inside = false;
        float twiceArea = 0.0f;
        for (size_t i = 0; i < n; ++i) {
            const glm::vec2& a = uv[i];
            const glm::vec2& b = uv[i + 1 < n ? i + 1 : 0];
            twiceArea += a.x * b.y - b.x * a.y;
            if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
                inside = !inside;
        }
        const float area = std::abs(twiceArea) * 0.5f;
        if (inside && (best < 0 || area < bestArea)) {
            best = int(f);
            bestArea = area;
        }
    }
    return best;
}

std::vector<Corner> cornersInRect(const Mesh& mesh, const std::vector<uint32_t>& faces, glm::vec2 a, glm::vec2 b) {
    const glm::vec2 lo = glm::min(a, b), hi = glm::max(a, b);
    std::vector<Corner> result;
    for (uint32_t f : visibleFaces(mesh, faces)) {
        const std::vector<glm::vec2>& uv = mesh.faces[f].uvs;
        for (size_t i = 0; i < uv.size(); ++i)
            if (uv[i].x >= lo.x && uv[i].x <= hi.x && uv[i].y >= lo.y && uv[i].y <= hi.y)
                result.push_back(Corner{f, uint32_t(i)});
    }
    normalize(result);
    return result;
}

//-----------------------------------------------------------------------------
// [SECTION] Moving corners
//-----------------------------------------------------------------------------

std::vector<glm::vec2> gather(const Mesh& mesh, const std::vector<Corner>& corners) {
    std::vector<glm::vec2> result;
    result.reserve(corners.size());
    for (const Corner& c : corners)
        result.push_back(isValidCorner(mesh, c) ? uvOf(mesh, c) : glm::vec2(0.0f));
    return result;
}

glm::vec2 boundsCenter(const Mesh& mesh, const std::vector<Corner>& corners) {
    glm::vec2 lo(1e30f), hi(-1e30f);
    bool any = false;
    for (const Corner& c : corners) {
        if (!isValidCorner(mesh, c))
            continue;
        lo = glm::min(lo, uvOf(mesh, c));
        hi = glm::max(hi, uvOf(mesh, c));
        any = true;
    }
    return any ? (lo + hi) * 0.5f : glm::vec2(0.5f);
}

void transformCorners(Mesh& mesh, const std::vector<Corner>& corners, const std::vector<glm::vec2>& startUvs,
                      const glm::vec2& pivot, const glm::vec2& translate, float angleDegrees, const glm::vec2& scale) {
    const float angle = angleDegrees * kDegToRad;
    const float cosA = std::cos(angle), sinA = std::sin(angle);
    const size_t count = std::min(corners.size(), startUvs.size());
    for (size_t i = 0; i < count; ++i) {
        if (!isValidCorner(mesh, corners[i]))
            continue;
        mesh.faces[corners[i].face].uvs[corners[i].corner] =
            rotate((startUvs[i] - pivot) * scale, cosA, sinA) + pivot + translate;
    }
    ++mesh.revision;
}

uint32_t weld(Mesh& mesh, const std::vector<Corner>& corners) {
    std::vector<Corner> listed = corners;
    normalize(listed);
    dropInvalid(mesh, listed);

    // Listed corners grouped by vertex, ascending; within a vertex in list order.
    std::vector<std::pair<uint32_t, Corner>> byVertex;
    byVertex.reserve(listed.size());
    for (const Corner& c : listed)
        byVertex.emplace_back(mesh.faces[c.face].indices[c.corner], c);
    std::stable_sort(byVertex.begin(), byVertex.end(), [](const auto& l, const auto& r) { return l.first < r.first; });

    uint32_t welded = 0;
    for (size_t k = 0; k < byVertex.size();) {
        size_t end = k;
        glm::vec2 sum(0.0f);
        for (; end < byVertex.size() && byVertex[end].first == byVertex[k].first; ++end)
            sum += uvOf(mesh, byVertex[end].second);
        const size_t count = end - k;
        if (count >= 2) {
            const glm::vec2 average = sum / float(count);
            bool differed = false;
            for (size_t m = k; m < end; ++m) {
                glm::vec2& uv = mesh.faces[byVertex[m].second.face].uvs[byVertex[m].second.corner];
                differed = differed || !samePoint(uv, average);
                uv = average;
            }
            if (differed)
                ++welded;
        }
        k = end;
    }
    ++mesh.revision;
    return welded;
}

} // namespace orva::uv
