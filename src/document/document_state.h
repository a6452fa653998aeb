#pragma once

#include "document/selection.h"
#include "scene/scene.h"

#include <cstdint>
#include <vector>

// Everything that undo restores: the scene, the object selection and the Edit Mode state.
namespace orva {

enum class InteractionMode : int { Object = 0, Edit = 1 };

// What clicks and edits act on in Edit Mode. The selection itself is always stored per vertex.
enum class ComponentType : int { Vertex = 0, Edge = 1, Face = 2 };

// Copied whole into every undo snapshot: the copy is deep (every mesh gets a fresh uid) while
// texture images stay shared.
struct DocumentState {
    Scene scene;
    ObjectSelection selection;
    InteractionMode mode = InteractionMode::Object;
    uint32_t editObjectId = kInvalidObject; // the object open in Edit Mode; 0 otherwise
    std::vector<uint8_t> vertexSelection;   // one flag per vertex of the edited mesh, non-zero = selected;
                                            // empty outside Edit Mode
    ComponentType componentType = ComponentType::Vertex;
};

} // namespace orva
