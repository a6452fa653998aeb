#pragma once

#include <cstdint>

#include "scene/mesh.h"

namespace orva::test {

// A cube of side `size` centred on the origin: 8 shared vertices and 6 flat quads facing outwards.
// Vertices 0-3 are the z = -size/2 side, 4-7 the z = +size/2 side; the top face is (3, 7, 6, 2).
inline Mesh makeCube(float size = 2.0f) {
    const float h = size * 0.5f;
    Mesh mesh;
    mesh.addVertex({-h, -h, -h});
    mesh.addVertex({h, -h, -h});
    mesh.addVertex({h, h, -h});
    mesh.addVertex({-h, h, -h});
    mesh.addVertex({-h, -h, h});
    mesh.addVertex({h, -h, h});
    mesh.addVertex({h, h, h});
    mesh.addVertex({-h, h, h});
    mesh.addFace({0, 3, 2, 1});
    mesh.addFace({4, 5, 6, 7});
    mesh.addFace({0, 4, 7, 3});
    mesh.addFace({1, 2, 6, 5});
    mesh.addFace({0, 1, 5, 4});
    mesh.addFace({3, 7, 6, 2});
    return mesh;
}

// A flat square of n x n quads ((n + 1)^2 vertices) of side `size` in the XZ plane, facing +Y.
inline Mesh makeGridMesh(uint32_t n, float size) {
    Mesh mesh;
    mesh.vertices.reserve(size_t(n + 1) * (n + 1));
    mesh.faces.reserve(size_t(n) * n);
    for (uint32_t z = 0; z <= n; ++z)
        for (uint32_t x = 0; x <= n; ++x)
            mesh.addVertex({size * (float(x) / float(n) - 0.5f), 0.0f, size * (float(z) / float(n) - 0.5f)});
    const uint32_t row = n + 1;
    for (uint32_t z = 0; z < n; ++z)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t i = z * row + x;
            mesh.addFace({i, i + row, i + row + 1, i + 1});
        }
    return mesh;
}

} // namespace orva::test
