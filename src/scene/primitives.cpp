#include "scene/primitives.h"

#include <algorithm>
#include <cmath>

namespace orva {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 6.28318530717959f;

const std::vector<glm::vec2> kUnitQuadUVs = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

// Reverses every face that points towards the centre of the mesh's bounds, corners and UVs in step.
// Sound for convex shapes centred on their bounds, which is all the generators here make; a face
// exactly side-on to the centre is left alone.
void orientOutward(Mesh& mesh) {
    const AABB box = mesh.bounds();
    const glm::vec3 centre = (box.min + box.max) * 0.5f;
    for (uint32_t f = 0; f < mesh.faces.size(); ++f) {
        if (glm::dot(mesh.faceNormalWeighted(f), mesh.faceCenter(f) - centre) < 0.0f) {
            Face& face = mesh.faces[f];
            std::reverse(face.indices.begin(), face.indices.end());
            std::reverse(face.uvs.begin(), face.uvs.end());
        }
    }
}

// One flat disc face over the ring firstIndex .. firstIndex + count - 1, in ring order. The UVs map
// the disc's top view onto the unit square.
void addCap(Mesh& mesh, uint32_t firstIndex, uint32_t count, float radius) {
    std::vector<uint32_t> indices(count);
    std::vector<glm::vec2> uvs(count);
    const float diameter = 2.0f * radius;
    for (uint32_t i = 0; i < count; ++i) {
        const glm::vec3& p = mesh.vertices[firstIndex + i].position;
        indices[i] = firstIndex + i;
        // A zero radius collapses the disc to its centre rather than dividing by zero.
        uvs[i] = diameter != 0.0f ? glm::vec2(p.x / diameter + 0.5f, p.z / diameter + 0.5f) : glm::vec2(0.5f);
    }
    mesh.addFace(std::move(indices), std::move(uvs), false);
}

// A ring of `segments` vertices at height y, starting on +Z and running towards +X.
void addRing(Mesh& mesh, float radius, float y, int segments) {
    for (int i = 0; i < segments; ++i) {
        const float theta = float(i) * kTwoPi / float(segments);
        mesh.addVertex(glm::vec3(radius * std::sin(theta), y, radius * std::cos(theta)));
    }
}

} // namespace

const char* primitiveName(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::Cube:
        return "Cube";
    case PrimitiveType::Plane:
        return "Plane";
    case PrimitiveType::Sphere:
        return "Sphere";
    case PrimitiveType::Cylinder:
        return "Cylinder";
    case PrimitiveType::Cone:
        return "Cone";
    }
    return "Mesh";
}

namespace primitives {

Mesh make(PrimitiveType type) {
    switch (type) {
    case PrimitiveType::Cube:
        return makeCube(2.0f);
    case PrimitiveType::Plane:
        return makePlane(2.0f);
    case PrimitiveType::Sphere:
        return makeUVSphere(1.0f, 32, 16);
    case PrimitiveType::Cylinder:
        return makeCylinder(1.0f, 2.0f, 32);
    case PrimitiveType::Cone:
        return makeCone(1.0f, 2.0f, 32);
    }
    return Mesh();
}

Mesh makeCube(float size) {
    const float h = size * 0.5f;
    Mesh mesh;
    mesh.vertices.reserve(8);
    mesh.addVertex({-h, -h, -h});
    mesh.addVertex({h, -h, -h});
    mesh.addVertex({h, h, -h});
    mesh.addVertex({-h, h, -h});
    mesh.addVertex({-h, -h, h});
    mesh.addVertex({h, -h, h});
    mesh.addVertex({h, h, h});
    mesh.addVertex({-h, h, h});
    // +Z, -Z, +X, -X, +Y, -Y; every face maps the whole texture, so UVs split at every edge.
    mesh.addFace({4, 5, 6, 7}, kUnitQuadUVs, false);
    mesh.addFace({1, 0, 3, 2}, kUnitQuadUVs, false);
    mesh.addFace({5, 1, 2, 6}, kUnitQuadUVs, false);
    mesh.addFace({0, 4, 7, 3}, kUnitQuadUVs, false);
    mesh.addFace({7, 6, 2, 3}, kUnitQuadUVs, false);
    mesh.addFace({0, 1, 5, 4}, kUnitQuadUVs, false);
    return mesh;
}

Mesh makePlane(float size) {
    const float x = size * 0.5f;
    Mesh mesh;
    mesh.addVertex({-x, 0.0f, x});
    mesh.addVertex({x, 0.0f, x});
    mesh.addVertex({x, 0.0f, -x});
    mesh.addVertex({-x, 0.0f, -x});
    // U grows along +X, V along -Z.
    mesh.addFace({0, 1, 2, 3}, kUnitQuadUVs, false);
    return mesh;
}

Mesh makeUVSphere(float radius, int segments, int rings) {
    const int s = std::max(segments, 3);
    const int b = std::max(rings, 2); // latitude bands; b - 1 vertex rings lie between the poles
    const float fs = float(s), fb = float(b);
    Mesh mesh;
    mesh.vertices.reserve(size_t(s) * size_t(b - 1) + 2);
    mesh.faces.reserve(size_t(s) * size_t(b));

    const uint32_t north = mesh.addVertex({0.0f, radius, 0.0f});
    for (int i = 1; i < b; ++i) {
        const float phi = float(i) * kPi / fb;
        const float sinPhi = std::sin(phi), cosPhi = std::cos(phi);
        for (int j = 0; j < s; ++j) {
            const float theta = float(j) * kTwoPi / fs;
            mesh.addVertex({radius * sinPhi * std::sin(theta), radius * cosPhi, radius * sinPhi * std::cos(theta)});
        }
    }
    const uint32_t south = mesh.addVertex({0.0f, -radius, 0.0f});
    const auto ringStart = [&](int ring) { return uint32_t(1 + (ring - 1) * s); };
    const uint32_t us = uint32_t(s);

    const uint32_t first = ringStart(1);
    for (uint32_t j = 0; j < us; ++j) {
        mesh.addFace(
            {north, first + j, first + (j + 1) % us},
            {{(float(j) + 0.5f) / fs, 1.0f}, {float(j) / fs, 1.0f - 1.0f / fb}, {float(j + 1) / fs, 1.0f - 1.0f / fb}},
            true);
    }

    // The seam is split in the UVs only: the last column runs to U = 1 on the first column's vertices.
    for (int ring = 1; ring <= b - 2; ++ring) {
        const uint32_t upper = ringStart(ring), lower = ringStart(ring + 1);
        const float vUpper = 1.0f - float(ring) / fb, vLower = 1.0f - float(ring + 1) / fb;
        for (uint32_t k = 1; k <= us; ++k) {
            const float u0 = float(k - 1) / fs, u1 = float(k) / fs;
            mesh.addFace({upper + (k - 1), lower + (k - 1), lower + k % us, upper + k % us},
                         {{u0, vUpper}, {u0, vLower}, {u1, vLower}, {u1, vUpper}}, true);
        }
    }

    const uint32_t last = ringStart(b - 1);
    const float vLast = 1.0f - float(b - 1) / fb;
    for (uint32_t j = 0; j < us; ++j) {
        mesh.addFace({south, last + (j + 1) % us, last + j},
                     {{(float(j) + 0.5f) / fs, 0.0f}, {float(j + 1) / fs, vLast}, {float(j) / fs, vLast}}, true);
    }

    orientOutward(mesh);
    return mesh;
}

Mesh makeCylinder(float radius, float height, int segments) {
    const int s = std::max(segments, 3);
    const uint32_t us = uint32_t(s);
    const float fs = float(s), hh = height * 0.5f;
    Mesh mesh;
    mesh.vertices.reserve(2 * size_t(s));
    mesh.faces.reserve(size_t(s) + 2);
    addRing(mesh, radius, -hh, s);
    addRing(mesh, radius, hh, s);

    for (uint32_t i = 0; i < us; ++i) {
        const uint32_t e = (i + 1) % us;
        const float u0 = float(i) / fs, u1 = float(i + 1) / fs;
        mesh.addFace({i, e, us + e, us + i}, {{u0, 0.0f}, {u1, 0.0f}, {u1, 1.0f}, {u0, 1.0f}}, true);
    }
    addCap(mesh, us, us, radius);
    addCap(mesh, 0, us, radius); // built facing +Y; orientOutward turns it down
    orientOutward(mesh);
    return mesh;
}

Mesh makeCone(float radius, float height, int segments) {
    const int s = std::max(segments, 3);
    const uint32_t us = uint32_t(s);
    const float fs = float(s), hh = height * 0.5f;
    Mesh mesh;
    mesh.vertices.reserve(size_t(s) + 1);
    mesh.faces.reserve(size_t(s) + 1);
    addRing(mesh, radius, -hh, s);
    const uint32_t apex = mesh.addVertex({0.0f, hh, 0.0f});

    for (uint32_t i = 0; i < us; ++i) {
        const uint32_t e = (i + 1) % us;
        const float u0 = float(i) / fs, u1 = float(i + 1) / fs;
        mesh.addFace({i, e, apex}, {{u0, 0.0f}, {u1, 0.0f}, {(u0 + u1) / 2.0f, 1.0f}}, true);
    }
    addCap(mesh, 0, us, radius); // built facing +Y; orientOutward turns it down
    orientOutward(mesh);
    return mesh;
}

} // namespace primitives
} // namespace orva
