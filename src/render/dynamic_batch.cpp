#include "render/dynamic_batch.h"

#include <cstddef>

#include "render/gl_functions.h"

namespace orva {

using namespace gl;

DynamicBatch::~DynamicBatch() { destroy(); }

void DynamicBatch::destroy() {
    if (!vao || !glDeleteVertexArrays)
        return;
    glDeleteVertexArrays(1, &vao);
    glDeleteBuffers(1, &vbo);
    vao = vbo = 0;
}

void DynamicBatch::draw(const std::vector<ColorVertex>& vertices, uint32_t mode) {
    if (vertices.empty())
        return;
    if (!vao) {
        // The attribute setup is recorded in the vertex array once and never repeated.
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &vbo);
        glBindVertexArray(vao);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(ColorVertex),
                              reinterpret_cast<const void*>(offsetof(ColorVertex, position)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(ColorVertex),
                              reinterpret_cast<const void*>(offsetof(ColorVertex, color)));
    }
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(ColorVertex)), vertices.data(), GL_DYNAMIC_DRAW);
    glDrawArrays(mode, 0, GLsizei(vertices.size()));
    glBindVertexArray(0);
}

} // namespace orva
