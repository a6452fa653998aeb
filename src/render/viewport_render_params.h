#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "document/document_state.h"
#include "scene/scene.h"

namespace orva {

// One render's input, filled by the viewport panel for every frame; the renderer only reads it.
// The pointers are borrowed for the duration of the render call.
struct ViewportRenderParams {
    const Scene* scene = nullptr; // null: nothing is drawn
    int width = 0;                // target size in framebuffer pixels; below 1: nothing is drawn
    int height = 0;
    glm::mat4 view{1.0f};
    glm::mat4 proj{1.0f};
    glm::vec3 cameraPos{0.0f}; // world space
    bool orthographic = false;
    float pixelRatio = 1.0f; // framebuffer pixels per interface point; scales dots and the outline
    const std::vector<uint32_t>* selection = nullptr; // Object Mode selection; null in Edit Mode
    uint32_t activeObject = kInvalidObject;
    uint32_t editObject = kInvalidObject;                // the mesh object open in Edit Mode
    const std::vector<uint8_t>* editSelection = nullptr; // per-vertex flags of the edited mesh
    ComponentType componentMode = ComponentType::Vertex;
    bool showGrid = true;
    bool showWireframe = false;
    bool xray = false;
};

// True when `selection` is given and holds `id`.
inline bool isObjectSelected(const ViewportRenderParams& params, uint32_t id) {
    return params.selection &&
           std::find(params.selection->begin(), params.selection->end(), id) != params.selection->end();
}

} // namespace orva
