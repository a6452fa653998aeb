#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

namespace orva {

// One vertex of an overlay line, point or triangle: 7 consecutive floats (28 bytes), the layout
// the batch feeds to GL as it is.
struct ColorVertex {
    glm::vec3 position{0.0f}; // in the space of the matrix the batch is drawn with
    glm::vec4 color{1.0f};    // RGBA 0..1, straight alpha
};
static_assert(sizeof(ColorVertex) == 28, "ColorVertex must stay 7 tightly packed floats");

// Streams a list of coloured vertices to the GPU and draws it at once. The buffer is
// re-specified on every draw, which orphans the previous contents instead of waiting for the GPU.
// Main thread, context current; GL objects are made on the first non-empty draw.
class DynamicBatch {
public:
    DynamicBatch() = default;
    ~DynamicBatch();
    DynamicBatch(const DynamicBatch&) = delete;
    DynamicBatch& operator=(const DynamicBatch&) = delete;

    // Uploads `vertices` and draws them with `mode` (GL_POINTS, GL_LINES, GL_TRIANGLES...).
    // An empty list does nothing at all. Leaves vertex array 0 bound.
    void draw(const std::vector<ColorVertex>& vertices, uint32_t mode);
    // Releases the GL objects; only when the GL table is loaded.
    void destroy();

    uint32_t vao = 0;
    uint32_t vbo = 0;
};

} // namespace orva
