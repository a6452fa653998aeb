#include "render/mesh_edges.h"

#include <algorithm>
#include <cstdint>

namespace orva {

void collectEdges(const Mesh& mesh, std::vector<Edge>& edges) {
    edges.clear();
    // 1. Count the sides under their smaller vertex (sized by the largest index, so even a mesh
    //    that breaks its invariants is never indexed out of range here).
    uint32_t maxIndex = 0;
    size_t sides = 0;
    for (const Face& face : mesh.faces)
        for (uint32_t v : face.indices) {
            maxIndex = std::max(maxIndex, v);
            ++sides;
        }
    if (sides == 0)
        return;
    std::vector<uint32_t> start(size_t(maxIndex) + 2, 0);
    for (const Face& face : mesh.faces) {
        const size_t n = face.indices.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = face.indices[i], q = face.indices[i + 1 == n ? 0 : i + 1];
            if (p != q)
                ++start[std::min(p, q) + 1];
        }
    }
    for (size_t v = 1; v < start.size(); ++v)
        start[v] += start[v - 1];

    // 2. Walk the sides in face order; an edge is new when its larger vertex is not yet in the
    //    smaller vertex's list (a handful of entries on any ordinary mesh).
    std::vector<uint32_t> used(start.size() - 1, 0);
    std::vector<uint32_t> neighbours(start.back());
    edges.reserve(sides / 2 + 1);
    for (const Face& face : mesh.faces) {
        const size_t n = face.indices.size();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = face.indices[i], q = face.indices[i + 1 == n ? 0 : i + 1];
            if (p == q)
                continue;
            const Edge edge = Edge::make(p, q);
            uint32_t* list = &neighbours[start[edge.a]];
            uint32_t& count = used[edge.a];
            bool seen = false;
            for (uint32_t k = 0; k < count && !seen; ++k)
                seen = list[k] == edge.b;
            if (!seen) {
                list[count++] = edge.b;
                edges.push_back(edge);
            }
        }
    }
}

} // namespace orva
