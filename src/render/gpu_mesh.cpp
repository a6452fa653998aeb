#include "render/gpu_mesh.h"

#include <vector>

#include "render/gl_functions.h"
#include "render/mesh_edges.h"
#include "scene/mesh.h"

namespace orva {

using namespace gl;

namespace {

constexpr GLsizei kShadedStride = 8 * sizeof(float); // position, normal, UV

const void* byteOffset(size_t bytes) { return reinterpret_cast<const void*>(bytes); }

} // namespace

GpuMesh::~GpuMesh() { destroy(); }

void GpuMesh::destroy() {
    if (!vao || !glDeleteVertexArrays)
        return;
    const GLuint arrays[2] = {vao, wireVao};
    const GLuint buffers[4] = {vbo, ebo, wireVbo, wireEbo};
    glDeleteVertexArrays(2, arrays);
    glDeleteBuffers(4, buffers);
    vao = vbo = ebo = wireVao = wireVbo = wireEbo = 0;
    indexCount = wireIndexCount = 0;
}

void GpuMesh::upload(const Mesh& mesh) {
    if (!vao) {
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &vbo);
        glGenBuffers(1, &ebo);
        glGenVertexArrays(1, &wireVao);
        glGenBuffers(1, &wireVbo);
        glGenBuffers(1, &wireEbo);
    }

    // Shaded version: the triangulation's parallel lists interleaved into one record per vertex.
    {
        const TriangleMesh tri = mesh.triangulate();
        const size_t count = tri.positions.size();
        std::vector<float> interleaved(count * 8);
        float* out = interleaved.data();
        for (size_t i = 0; i < count; ++i, out += 8) {
            out[0] = tri.positions[i].x;
            out[1] = tri.positions[i].y;
            out[2] = tri.positions[i].z;
            out[3] = tri.normals[i].x;
            out[4] = tri.normals[i].y;
            out[5] = tri.normals[i].z;
            out[6] = tri.uvs[i].x;
            out[7] = tri.uvs[i].y;
        }
        glBindVertexArray(vao);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(interleaved.size() * sizeof(float)), interleaved.data(),
                     GL_DYNAMIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(tri.indices.size() * sizeof(uint32_t)), tri.indices.data(),
                     GL_DYNAMIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, kShadedStride, byteOffset(0));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, kShadedStride, byteOffset(12));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, kShadedStride, byteOffset(24));
        indexCount = uint32_t(tri.indices.size());
    }

    // Wireframe version: the mesh's own vertices and its unique edges.
    {
        std::vector<float> positions(mesh.vertices.size() * 3);
        for (size_t i = 0; i < mesh.vertices.size(); ++i) {
            positions[i * 3 + 0] = mesh.vertices[i].position.x;
            positions[i * 3 + 1] = mesh.vertices[i].position.y;
            positions[i * 3 + 2] = mesh.vertices[i].position.z;
        }
        std::vector<Edge> edges;
        collectEdges(mesh, edges);
        std::vector<uint32_t> lines;
        lines.reserve(edges.size() * 2);
        const size_t vertexCount = mesh.vertices.size();
        for (const Edge& e : edges) {
            if (e.b >= vertexCount)
                continue; // never let GL read past the positions (a mesh breaking its invariants)
            lines.push_back(e.a);
            lines.push_back(e.b);
        }
        glBindVertexArray(wireVao);
        glBindBuffer(GL_ARRAY_BUFFER, wireVbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(positions.size() * sizeof(float)), positions.data(), GL_DYNAMIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, wireEbo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(lines.size() * sizeof(uint32_t)), lines.data(),
                     GL_DYNAMIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), byteOffset(0));
        wireIndexCount = uint32_t(lines.size());
    }

    glBindVertexArray(0);
}

void GpuMesh::drawSolid() const {
    if (!indexCount)
        return;
    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, GLsizei(indexCount), GL_UNSIGNED_INT, nullptr);
}

void GpuMesh::drawWire() const {
    if (!wireIndexCount)
        return;
    glBindVertexArray(wireVao);
    glDrawElements(GL_LINES, GLsizei(wireIndexCount), GL_UNSIGNED_INT, nullptr);
}

} // namespace orva
