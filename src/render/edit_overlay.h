#pragma once

#include <cstdint>
#include <vector>

#include "document/document_state.h"
#include "render/dynamic_batch.h"
#include "scene/mesh.h"

namespace orva {

// The three lists of the Edit Mode overlay, in the edited object's local space (drawn with
// proj x view x world). Each list is one draw call.
struct EditOverlayLists {
    std::vector<ColorVertex> faceTint; // triangles over the selected faces
    std::vector<ColorVertex> edges;    // line segments, one per unique edge
    std::vector<ColorVertex> dots;     // points: vertices (vertex mode) or face centres (face mode)
    std::vector<Edge> edgeScratch;     // the mesh's unique edges, kept to reuse its memory
};

// Builds the overlay of `mesh` under the per-vertex selection `selection` (null: nothing
// selected; an index at or beyond its end counts as unselected). An edge is selected when both of
// its vertices are, a face when all its corners are. Edge mode has no dots. Replaces the contents
// of `lists`, keeping their capacity. No GL.
void buildEditOverlay(const Mesh& mesh, const std::vector<uint8_t>* selection, ComponentType mode,
                      EditOverlayLists& lists);

} // namespace orva
