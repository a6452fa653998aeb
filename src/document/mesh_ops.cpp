#include "document/mesh_ops.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <unordered_set>

// [SECTION] Helpers
// [SECTION] Selection queries
// [SECTION] Clean-up
// [SECTION] Deleting
// [SECTION] Merging
// [SECTION] Extruding
// [SECTION] Splitting and flipping

namespace orva::meshops {
namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

//-----------------------------------------------------------------------------
// [SECTION] Helpers
//-----------------------------------------------------------------------------

bool isSelected(const std::vector<uint8_t>& selection, uint32_t vertex) {
    return vertex < selection.size() && selection[vertex] != 0;
}

// The operations index vertex positions through the faces, so a face naming a missing vertex would
// read out of bounds: such a mesh is refused untouched.
bool indicesInRange(const Mesh& mesh) {
    const size_t count = mesh.vertices.size();
    for (const Face& face : mesh.faces)
        for (uint32_t v : face.indices)
            if (v >= count)
                return false;
    return true;
}

// A side joins two different vertices that are both selected: exactly the sides that make the
// selected edges.
bool isSelectedSide(const std::vector<uint8_t>& selection, uint32_t a, uint32_t b) {
    return a != b && isSelected(selection, a) && isSelected(selection, b);
}

bool hasSelectedSide(const Face& face, const std::vector<uint8_t>& selection) {
    const size_t n = face.indices.size();
    for (size_t i = 0; i < n; ++i)
        if (isSelectedSide(selection, face.indices[i], face.indices[i + 1 < n ? i + 1 : 0]))
            return true;
    return false;
}

const std::vector<glm::vec2>& unitQuadUvs() {
    static const std::vector<glm::vec2> uvs{{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    return uvs;
}

void selectOnlyFrom(const Mesh& mesh, std::vector<uint8_t>& selection, size_t firstSelected) {
    selection.assign(mesh.vertices.size(), 0);
    std::fill(selection.begin() + std::ptrdiff_t(std::min(firstSelected, selection.size())), selection.end(), 1);
}

//-----------------------------------------------------------------------------
// [SECTION] Clean-up
//-----------------------------------------------------------------------------

// Collapses every run of equal consecutive indices (cyclically) to its last corner, in place. A face
// whose UV list does not match its corners loses it. Returns true when the face changed.
bool collapseRuns(Face& face) {
    std::vector<uint32_t>& idx = face.indices;
    const bool hasUvs = face.hasUVs();
    bool changed = false;
    if (!hasUvs && !face.uvs.empty()) {
        face.uvs.clear();
        changed = true;
    }
    const size_t n = idx.size();
    bool anyRun = false;
    for (size_t i = 0; i < n && !anyRun; ++i)
        anyRun = idx[i] == idx[i + 1 < n ? i + 1 : 0];
    if (!anyRun)
        return changed;

    // The write position never passes the read position, so idx[i + 1] is still original; the
    // closing side compares with the saved first corner.
    const uint32_t first = idx[0];
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t next = i + 1 < n ? idx[i + 1] : first;
        if (idx[i] == next)
            continue;
        idx[kept] = idx[i];
        if (hasUvs)
            face.uvs[kept] = face.uvs[i];
        ++kept;
    }
    idx.resize(kept);
    if (hasUvs)
        face.uvs.resize(kept);
    return true;
}

// At least three distinct vertex indices, decided in one pass.
bool hasThreeDistinct(const std::vector<uint32_t>& idx) {
    if (idx.size() < 3)
        return false;
    const uint32_t a = idx[0];
    size_t i = 1;
    while (i < idx.size() && idx[i] == a)
        ++i;
    if (i == idx.size())
        return false;
    const uint32_t b = idx[i];
    for (++i; i < idx.size(); ++i)
        if (idx[i] != a && idx[i] != b)
            return true;
    return false;
}

// The clean-up itself, in place (faces that need no change are moved, never rebuilt). The mesh's
// indices must be in range. Returns true when the mesh changed; the caller increments `revision`.
bool cleanUp(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    bool changed = false;

    size_t keptFaces = 0;
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        Face& face = mesh.faces[f];
        changed |= collapseRuns(face);
        if (!hasThreeDistinct(face.indices)) {
            changed = true;
            continue;
        }
        if (keptFaces != f)
            mesh.faces[keptFaces] = std::move(face);
        ++keptFaces;
    }
    mesh.faces.erase(mesh.faces.begin() + std::ptrdiff_t(keptFaces), mesh.faces.end());

    // Used vertices keep their order; remap[v] is the new index or kNone.
    const size_t vertexCount = mesh.vertices.size();
    std::vector<uint32_t> remap(vertexCount, kNone);
    for (const Face& face : mesh.faces)
        for (uint32_t v : face.indices)
            remap[v] = 0;
    uint32_t next = 0;
    for (size_t v = 0; v < vertexCount; ++v)
        if (remap[v] != kNone)
            remap[v] = next++;
    if (next == vertexCount)
        return changed;

    for (size_t v = 0; v < vertexCount; ++v) {
        if (remap[v] == kNone)
            continue;
        mesh.vertices[remap[v]] = mesh.vertices[v];
        selection[remap[v]] = selection[v];
    }
    mesh.vertices.resize(next);
    selection.resize(next);
    for (Face& face : mesh.faces)
        for (uint32_t& v : face.indices)
            v = remap[v];
    return true;
}

//-----------------------------------------------------------------------------
// [SECTION] Merging (spatial grid)
//-----------------------------------------------------------------------------

// Cell of a uniform grid; with a zero threshold the "cell" is the exact position.
struct Cell {
    int64_t x, y, z;
    bool operator==(const Cell& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct CellHash {
    size_t operator()(const Cell& c) const {
        uint64_t h = uint64_t(c.x) * 0x9E3779B97F4A7C15ull;
        h ^= uint64_t(c.y) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
        h ^= uint64_t(c.z) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
        return size_t(h);
    }
};

int64_t cellCoordinate(float value, double cellSize) {
    // Clamping is monotone and moves nearby values by at most as much as it moves far ones, so two
    // points within one cell of each other stay in the same or neighbouring cells.
    const double c = std::floor(double(value) / cellSize);
    constexpr double kLimit = 4.0e18;
    return int64_t(std::clamp(c, -kLimit, kLimit));
}

int64_t exactCoordinate(float value) {
    if (value == 0.0f)
        value = 0.0f; // -0 and +0 are the same point
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return int64_t(bits);
}

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Selection queries
//-----------------------------------------------------------------------------

void resizeSelection(const Mesh& mesh, std::vector<uint8_t>& selection) { selection.resize(mesh.vertices.size(), 0); }

size_t countSelected(const std::vector<uint8_t>& selection) {
    return size_t(std::count_if(selection.begin(), selection.end(), [](uint8_t s) { return s != 0; }));
}

std::vector<uint32_t> selectedFaces(const Mesh& mesh, const std::vector<uint8_t>& selection) {
    std::vector<uint32_t> result;
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        const std::vector<uint32_t>& idx = mesh.faces[f].indices;
        if (idx.empty())
            continue;
        bool all = true;
        for (uint32_t v : idx) {
            if (!isSelected(selection, v)) {
                all = false;
                break;
            }
        }
        if (all)
            result.push_back(uint32_t(f));
    }
    return result;
}

std::vector<Edge> selectedEdges(const Mesh& mesh, const std::vector<uint8_t>& selection) {
    // Walking the sides in the order Mesh::edges() does and keeping only the selected ones gives the
    // same order without hashing every edge of the mesh.
    std::vector<Edge> result;
    std::unordered_set<Edge, EdgeHash> seen;
    for (const Face& face : mesh.faces) {
        const size_t n = face.indices.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t a = face.indices[i];
            const uint32_t b = face.indices[i + 1 < n ? i + 1 : 0];
            if (!isSelectedSide(selection, a, b))
                continue;
            const Edge e = Edge::make(a, b);
            if (seen.insert(e).second)
                result.push_back(e);
        }
    }
    return result;
}

void removeDegenerateAndLoose(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    if (!indicesInRange(mesh))
        return;
    if (cleanUp(mesh, selection))
        ++mesh.revision;
}

//-----------------------------------------------------------------------------
// [SECTION] Deleting
//-----------------------------------------------------------------------------

bool deleteVertices(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    if (countSelected(selection) == 0 || !indicesInRange(mesh))
        return false;
    std::erase_if(mesh.faces, [&](const Face& face) {
        return std::any_of(face.indices.begin(), face.indices.end(),
                           [&](uint32_t v) { return isSelected(selection, v); });
    });
    cleanUp(mesh, selection);
    selection.assign(mesh.vertices.size(), 0);
    ++mesh.revision;
    return true;
}

bool deleteEdges(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    if (!indicesInRange(mesh))
        return false;
    // A face loses out exactly when one of its sides is a selected edge.
    const bool any = std::any_of(mesh.faces.begin(), mesh.faces.end(),
                                 [&](const Face& face) { return hasSelectedSide(face, selection); });
    if (!any)
        return false;
    std::erase_if(mesh.faces, [&](const Face& face) { return hasSelectedSide(face, selection); });
    cleanUp(mesh, selection);
    selection.assign(mesh.vertices.size(), 0);
    ++mesh.revision;
    return true;
}

bool deleteFaces(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    if (!indicesInRange(mesh))
        return false;
    const std::vector<uint32_t> doomed = selectedFaces(mesh, selection);
    if (doomed.empty())
        return false;
    // `doomed` is ascending: one pass compacts the survivors.
    size_t kept = 0, next = 0;
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        if (next < doomed.size() && doomed[next] == f) {
            ++next;
            continue;
        }
        if (kept != f)
            mesh.faces[kept] = std::move(mesh.faces[f]);
        ++kept;
    }
    mesh.faces.erase(mesh.faces.begin() + std::ptrdiff_t(kept), mesh.faces.end());
    cleanUp(mesh, selection);
    selection.assign(mesh.vertices.size(), 0);
    ++mesh.revision;
    return true;
}

//-----------------------------------------------------------------------------
// [SECTION] Merging
//-----------------------------------------------------------------------------

bool mergeAtCenter(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    std::vector<uint32_t> chosen;
    for (size_t v = 0; v < selection.size(); ++v)
        if (selection[v])
            chosen.push_back(uint32_t(v));
    if (chosen.size() < 2 || !indicesInRange(mesh))
        return false;

    glm::dvec3 sum(0.0);
    for (uint32_t v : chosen)
        sum += glm::dvec3(mesh.vertices[v].position);
    const uint32_t target = chosen.front();
    mesh.vertices[target].position = glm::vec3(sum / double(chosen.size()));

    for (Face& face : mesh.faces)
        for (uint32_t& v : face.indices)
            if (selection[v])
                v = target;
    selection.assign(mesh.vertices.size(), 0);
    selection[target] = 1;
    cleanUp(mesh, selection);
    ++mesh.revision;
    return true;
}

uint32_t mergeByDistance(Mesh& mesh, std::vector<uint8_t>& selection, float threshold) {
    resizeSelection(mesh, selection);
    if (!(threshold > 0.0f))
        threshold = 0.0f;
    const float t2 = threshold * threshold;

    // Candidates in index order. A vertex with a non-finite coordinate is never within any distance of
    // another one, so it is left out.
    std::vector<uint32_t> listed;
    for (size_t v = 0; v < selection.size(); ++v) {
        const glm::vec3& p = mesh.vertices[v].position;
        if (selection[v] && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z))
            listed.push_back(uint32_t(v));
    }
    if (listed.size() < 2 || !indicesInRange(mesh))
        return 0;

    // Every pair within the threshold lies in the same or neighbouring grid cells (cells slightly
    // larger than the threshold absorb rounding), so only those are compared. The result is the same
    // as comparing each survivor with every later candidate in list order.
    const bool exact = threshold == 0.0f;
    const double cellSize = exact ? 1.0 : double(threshold) * 1.001;
    auto cellOf = [&](uint32_t v) {
        const glm::vec3& p = mesh.vertices[v].position;
        if (exact)
            return Cell{exactCoordinate(p.x), exactCoordinate(p.y), exactCoordinate(p.z)};
        return Cell{cellCoordinate(p.x, cellSize), cellCoordinate(p.y, cellSize), cellCoordinate(p.z, cellSize)};
    };

    // Candidates grouped by cell (list order within a cell): `byCell` holds list positions, `span`
    // maps a cell to its [begin, end) range in `byCell`.
    std::vector<Cell> cellOfListed(listed.size());
    for (size_t i = 0; i < listed.size(); ++i)
        cellOfListed[i] = cellOf(listed[i]);
    std::vector<uint32_t> byCell(listed.size());
    for (size_t i = 0; i < byCell.size(); ++i)
        byCell[i] = uint32_t(i);
    std::sort(byCell.begin(), byCell.end(), [&](uint32_t l, uint32_t r) {
        const Cell& a = cellOfListed[l];
        const Cell& b = cellOfListed[r];
        if (a.x != b.x)
            return a.x < b.x;
        if (a.y != b.y)
            return a.y < b.y;
        if (a.z != b.z)
            return a.z < b.z;
        return l < r;
    });
    std::unordered_map<Cell, std::array<uint32_t, 2>, CellHash> span;
    span.reserve(listed.size());
    for (size_t k = 0; k < byCell.size();) {
        size_t end = k + 1;
        while (end < byCell.size() && cellOfListed[byCell[end]] == cellOfListed[byCell[k]])
            ++end;
        span.emplace(cellOfListed[byCell[k]], std::array<uint32_t, 2>{uint32_t(k), uint32_t(end)});
        k = end;
    }

    std::vector<uint32_t> target(mesh.vertices.size());
    for (size_t v = 0; v < target.size(); ++v)
        target[v] = uint32_t(v);
    const int reach = exact ? 0 : 1;
    uint32_t merged = 0;
    for (size_t i = 0; i < listed.size(); ++i) {
        const uint32_t d = listed[i];
        if (target[d] != d)
            continue;
        const glm::vec3 pd = mesh.vertices[d].position;
        const Cell c = cellOfListed[i];
        for (int dx = -reach; dx <= reach; ++dx)
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dz = -reach; dz <= reach; ++dz) {
                    const auto it = span.find(Cell{c.x + dx, c.y + dy, c.z + dz});
                    if (it == span.end())
                        continue;
                    for (uint32_t k = it->second[0]; k < it->second[1]; ++k) {
                        const uint32_t j = byCell[k];
                        const uint32_t e = listed[j];
                        if (j <= i || target[e] != e)
                            continue;
                        const glm::vec3 diff = pd - mesh.vertices[e].position;
                        if (glm::dot(diff, diff) <= t2) {
                            target[e] = d;
                            ++merged;
                        }
                    }
                }
    }
    if (merged == 0)
        return 0;

    for (Face& face : mesh.faces)
        for (uint32_t& v : face.indices)
            v = target[v];
    cleanUp(mesh, selection);
    ++mesh.revision;
    return merged;
}

//-----------------------------------------------------------------------------
// [SECTION] Extruding
//-----------------------------------------------------------------------------

namespace {

bool extrudeRegion(Mesh& mesh, std::vector<uint8_t>& selection, const std::vector<uint32_t>& region, float distance) {
    // 1. How many region faces use each edge; the edges used once are the region's boundary.
    size_t cornerCount = 0;
    for (uint32_t f : region)
        cornerCount += mesh.faces[f].indices.size();
    std::unordered_map<Edge, uint32_t, EdgeHash> uses;
    uses.reserve(cornerCount);
    glm::vec3 normalSum(0.0f);
    for (uint32_t f : region) {
        normalSum += mesh.faceNormalWeighted(f);
        const std::vector<uint32_t>& idx = mesh.faces[f].indices;
        const size_t n = idx.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t a = idx[i], b = idx[i + 1 < n ? i + 1 : 0];
            if (a != b)
                ++uses[Edge::make(a, b)];
        }
    }
    // A closed surface has no boundary to join the moved copy to.
    if (std::none_of(uses.begin(), uses.end(), [](const auto& entry) { return entry.second == 1; }))
        return false;

    // 2. One offset for the whole region.
    const float length = glm::length(normalSum);
    const glm::vec3 direction = length > 1e-12f ? normalSum / length : glm::vec3(0.0f);
    const glm::vec3 offset = direction * distance;

    // 3. A copy of every region vertex, in face then corner order.
    const size_t firstNew = mesh.vertices.size();
    std::vector<uint32_t> copyOf(firstNew, kNone);
    for (uint32_t f : region)
        for (uint32_t v : mesh.faces[f].indices)
            if (copyOf[v] == kNone) {
                copyOf[v] = uint32_t(mesh.vertices.size());
                mesh.vertices.push_back(Vertex{mesh.vertices[v].position + offset});
            }

    // 4. Walls along the boundary follow each face's winding, so they face outwards.
    std::vector<Face> walls;
    for (uint32_t f : region) {
        const Face& face = mesh.faces[f];
        const size_t n = face.indices.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t a = face.indices[i], b = face.indices[i + 1 < n ? i + 1 : 0];
            if (a == b || uses.find(Edge::make(a, b))->second != 1)
                continue;
            walls.push_back(Face{{a, b, copyOf[b], copyOf[a]}, unitQuadUvs(), face.smooth});
        }
    }

    // 5. The region moves onto the copies; the walls follow every existing face.
    for (uint32_t f : region)
        for (uint32_t& v : mesh.faces[f].indices)
            v = copyOf[v];
    mesh.faces.reserve(mesh.faces.size() + walls.size());
    std::move(walls.begin(), walls.end(), std::back_inserter(mesh.faces));

    selectOnlyFrom(mesh, selection, firstNew);
    cleanUp(mesh, selection);
    ++mesh.revision;
    return true;
}

bool extrudeEdges(Mesh& mesh, std::vector<uint8_t>& selection, float distance) {
    const std::vector<Edge> edges = selectedEdges(mesh, selection);
    if (edges.empty())
        return false;
    std::unordered_map<Edge, uint32_t, EdgeHash> slot;
    slot.reserve(edges.size());
    for (size_t k = 0; k < edges.size(); ++k)
        slot.emplace(edges[k], uint32_t(k));

    // The first face side found for each edge gives the wall its winding; every face beside a selected
    // edge adds its normal once for each end of that edge.
    std::vector<std::array<uint32_t, 2>> side(edges.size(), {kNone, kNone});
    glm::vec3 normalSum(0.0f);
    for (size_t f = 0; f < mesh.faces.size(); ++f) {
        const std::vector<uint32_t>& idx = mesh.faces[f].indices;
        const size_t n = idx.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t g = idx[i], h = idx[i + 1 < n ? i + 1 : 0];
            if (!isSelectedSide(selection, g, h))
                continue;
            std::array<uint32_t, 2>& recorded = side[slot.find(Edge::make(g, h))->second];
            if (recorded[0] == kNone)
                recorded = {g, h};
            const glm::vec3 normal = mesh.faceNormalWeighted(uint32_t(f));
            normalSum += normal;
            normalSum += normal;
        }
    }
    const float length = glm::length(normalSum);
    const glm::vec3 direction = length > 1e-12f ? normalSum / length : glm::vec3(0.0f, 1.0f, 0.0f);
    const glm::vec3 offset = direction * distance;

    const size_t firstNew = mesh.vertices.size();
    std::unordered_map<uint32_t, uint32_t> copyOf;
    copyOf.reserve(edges.size() * 2);
    for (const Edge& e : edges)
        for (uint32_t v : {e.a, e.b})
            if (copyOf.emplace(v, uint32_t(mesh.vertices.size())).second)
                mesh.vertices.push_back(Vertex{mesh.vertices[v].position + offset});

    // Against the face's direction, so the wall continues the surface with consistent winding.
    mesh.faces.reserve(mesh.faces.size() + edges.size());
    for (size_t k = 0; k < edges.size(); ++k) {
        uint32_t a = edges[k].a, b = edges[k].b;
        if (side[k][0] != kNone) {
            a = side[k][1];
            b = side[k][0];
        }
        mesh.faces.push_back(Face{{a, b, copyOf[b], copyOf[a]}, unitQuadUvs(), false});
    }

    selectOnlyFrom(mesh, selection, firstNew);
    ++mesh.revision;
    return true;
}

} // namespace

bool extrude(Mesh& mesh, std::vector<uint8_t>& selection, float distance) {
    resizeSelection(mesh, selection);
    if (!std::isfinite(distance) || !indicesInRange(mesh))
        return false;
    const std::vector<uint32_t> region = selectedFaces(mesh, selection);
    if (!region.empty())
        return extrudeRegion(mesh, selection, region, distance);
    return extrudeEdges(mesh, selection, distance);
}

//-----------------------------------------------------------------------------
// [SECTION] Splitting and flipping
//-----------------------------------------------------------------------------

uint32_t splitEdges(Mesh& mesh, std::vector<uint8_t>& selection) {
    resizeSelection(mesh, selection);
    if (!indicesInRange(mesh))
        return 0;
    const std::vector<Edge> edges = selectedEdges(mesh, selection);
    if (edges.empty())
        return 0;

    const size_t firstNew = mesh.vertices.size();
    std::unordered_map<Edge, uint32_t, EdgeHash> midpoint;
    midpoint.reserve(edges.size());
    mesh.vertices.reserve(firstNew + edges.size());
    for (const Edge& e : edges) {
        midpoint.emplace(e, uint32_t(mesh.vertices.size()));
        const glm::vec3 p = (mesh.vertices[e.a].position + mesh.vertices[e.b].position) * 0.5f;
        mesh.vertices.push_back(Vertex{p});
    }

    // Only faces with a selected side change; the selection still describes the old vertices here.
    std::vector<uint32_t> indices;
    std::vector<glm::vec2> uvs;
    for (Face& face : mesh.faces) {
        if (!hasSelectedSide(face, selection))
            continue;
        const bool hasUvs = face.hasUVs();
        const size_t n = face.indices.size();
        indices.clear();
        uvs.clear();
        for (size_t i = 0; i < n; ++i) {
            const size_t j = i + 1 < n ? i + 1 : 0;
            indices.push_back(face.indices[i]);
            if (hasUvs)
                uvs.push_back(face.uvs[i]);
            if (isSelectedSide(selection, face.indices[i], face.indices[j])) {
                indices.push_back(midpoint.find(Edge::make(face.indices[i], face.indices[j]))->second);
                if (hasUvs)
                    uvs.push_back((face.uvs[i] + face.uvs[j]) * 0.5f);
            }
        }
        face.indices.assign(indices.begin(), indices.end());
        face.uvs.assign(uvs.begin(), uvs.end());
    }

    resizeSelection(mesh, selection);
    std::fill(selection.begin() + std::ptrdiff_t(firstNew), selection.end(), 1);
    ++mesh.revision;
    return uint32_t(edges.size());
}

bool flipFaces(Mesh& mesh, const std::vector<uint8_t>& selection) {
    const std::vector<uint32_t> faces = selectedFaces(mesh, selection);
    if (faces.empty())
        return false;
    for (uint32_t f : faces) {
        Face& face = mesh.faces[f];
        std::reverse(face.indices.begin(), face.indices.end());
        std::reverse(face.uvs.begin(), face.uvs.end());
    }
    ++mesh.revision;
    return true;
}

} // namespace orva::meshops
