#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "scene/math.h"

// What a transform-gizmo drag in the viewport does to the document, without any drawing: where the
// gizmo sits for the current selection, what a drag records when it starts, and how each new gizmo
// matrix is applied. Matrices are world matrices (column vectors). Changes go straight into the
// document's state; the caller brackets the drag with Document::beginInteraction/endInteraction so
// that it becomes one undo step.
namespace orva {

class Document;

// The state of one drag taken at its start.
struct GizmoDragRecord {
    bool editMode = false; // which list below is used
    // Object Mode: the dragged objects and their world matrices at the start. Children of another
    // dragged object are left out: they follow their parent.
    std::vector<std::pair<uint32_t, glm::mat4>> objects;
    // Edit Mode: the selected vertices of the edited mesh and their object-local positions at the start.
    std::vector<std::pair<uint32_t, glm::vec3>> vertices;
};

// The gizmo matrix for the document's selection. Object Mode: the active object's world matrix when
// it is set, selected and exists. Edit Mode: at the mean world position of the selected vertices,
// turned like the edited object (axes normalised) when `gizmoOrientation` is kGizmoLocal and
// unturned otherwise, never scaled. False (and `matrix` unchanged) when there is no gizmo.
bool computeGizmoMatrix(Document& document, int gizmoOrientation, glm::mat4* matrix);

// Records what a drag starting now moves (see GizmoDragRecord).
GizmoDragRecord recordGizmoDrag(Document& document);

// Applies the gizmo moving from `start` to `current` to the recorded items, each computed from its
// recorded start so that repeated calls never accumulate. Edit Mode: every recorded vertex still in
// range is moved by the change expressed in world space, and the mesh's revision is incremented.
// Object Mode with kGizmoRotate or kGizmoScale: each recorded object that still exists gets the
// change applied to its recorded world matrix. Object Mode with Move (any other operation value):
// only positions change, by the difference of the two translations, so rotation and scale are never
// disturbed by matrix decomposition. Items that vanished, or a mode that no longer matches the
// record, are skipped; so is anything whose change would need the inverse of a degenerate matrix
// (an object or parent scaled to zero): it stays where it is instead of receiving infinities.
void applyGizmoDrag(Document& document, const GizmoDragRecord& record, int gizmoOperation, const glm::mat4& start,
                    const glm::mat4& current);

} // namespace orva
