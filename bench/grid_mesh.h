#pragma once

#include <cmath>
#include <cstdint>

#include "scene/mesh.h"

// The benchmarks' large mesh: an n x n grid of smooth quads with UVs over gentle hills, so that
// positions, normals and UVs are ordinary full-length floats that differ from vertex to vertex.
// (n + 1)^2 vertices, n^2 faces, 4 n^2 corners; `spacing` is the quad size in metres.
namespace orva::bench {

inline Mesh makeGridMesh(uint32_t n, float spacing = 0.01f) {
    Mesh m;
    m.vertices.reserve(size_t(n + 1) * (n + 1));
    m.faces.reserve(size_t(n) * n);
    for (uint32_t z = 0; z <= n; ++z)
        for (uint32_t x = 0; x <= n; ++x)
            m.addVertex({float(x) * spacing, 0.2f * std::sin(float(x) * 0.05f) * std::cos(float(z) * 0.07f),
                         -float(z) * spacing});
    for (uint32_t z = 0; z < n; ++z) {
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t a = z * (n + 1) + x;
            const float u0 = float(x) / n, u1 = float(x + 1) / n, v0 = float(z) / n, v1 = float(z + 1) / n;
            m.addFace({a, a + 1, a + n + 2, a + n + 1}, {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}}, true);
        }
    }
    return m;
}

} // namespace orva::bench
