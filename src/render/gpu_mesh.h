#pragma once

#include <cstdint>

namespace orva {

class Mesh;

// The GPU buffers of one polygon mesh: a shaded version (the triangulation, 32-byte interleaved
// records: position at 0, normal at 12, UV at 24, attribute locations 0, 1, 2) and a wireframe
// version (one 12-byte position per mesh vertex in the mesh's own order, two indices per unique
// edge). Indices are unsigned 32-bit. All names are 0 until the first upload.
// Main thread, context current.
class GpuMesh {
public:
    GpuMesh() = default;
    ~GpuMesh();
    GpuMesh(const GpuMesh&) = delete;
    GpuMesh& operator=(const GpuMesh&) = delete;

    // Rebuilds both versions from `mesh` (the whole of every buffer is re-specified). Makes the
    // GL objects on first use and reuses them afterwards. Leaves vertex array 0 bound.
    void upload(const Mesh& mesh);
    // Draw calls; nothing happens when the version has no indices. They leave their vertex array bound.
    void drawSolid() const;
    void drawWire() const;
    // Releases the GL objects; only when the GL table is loaded.
    void destroy();

    uint32_t vao = 0;
    uint32_t vbo = 0;
    uint32_t ebo = 0;
    uint32_t wireVao = 0;
    uint32_t wireVbo = 0;
    uint32_t wireEbo = 0;
    uint32_t indexCount = 0;     // triangle indices
    uint32_t wireIndexCount = 0; // line indices, twice the edge count
};

} // namespace orva
