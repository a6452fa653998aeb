#pragma once

#include "scene/mesh.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The geometry operations of Edit Mode. Each works in place on a Mesh and on a per-vertex selection
// (one byte per vertex, non-zero = selected) and reports whether it changed anything. An edge is
// selected when both of its vertices are, a face when every one of its corners is.
//
// Contracts shared by every operation:
// - A false or zero result means the mesh is unchanged (the selection may have been fitted to the
//   vertex count). A true or non-zero result means the mesh changed and its `revision` went up by one.
// - The operations that may change the selection fit it to the vertex count on entry and leave it
//   fitted to the vertex list they produce.
// - A mesh whose faces name vertices that do not exist is refused as it is: nothing changes.
// - They know nothing of the document, undo or messages.
namespace orva::meshops {

// Grows the selection with zeros or shrinks it to the mesh's vertex count.
void resizeSelection(const Mesh& mesh, std::vector<uint8_t>& selection);

// Number of non-zero entries.
size_t countSelected(const std::vector<uint8_t>& selection);

// Indices of the faces whose corners are all selected, in face order. Corners beyond the selection
// count as unselected; a face without corners is never selected.
std::vector<uint32_t> selectedFaces(const Mesh& mesh, const std::vector<uint8_t>& selection);

// The edges of Mesh::edges() (first-appearance order) whose two vertices are selected.
std::vector<Edge> selectedEdges(const Mesh& mesh, const std::vector<uint8_t>& selection);

// The clean-up the topology-changing operations run last: runs of equal consecutive corners collapse
// to their last corner (its UV travels with it), faces left with fewer than 3 distinct vertices go,
// vertices no face uses go (with their selection flags) and the rest are renumbered in order.
// Increments `revision` only when it changed something.
void removeDegenerateAndLoose(Mesh& mesh, std::vector<uint8_t>& selection);

// Removes every face with at least one selected corner, then the vertices left unused. Clears the
// selection. False when nothing is selected.
bool deleteVertices(Mesh& mesh, std::vector<uint8_t>& selection);
// Removes every face that has a selected edge as a side; vertices still used elsewhere stay. Clears
// the selection. False when no edge is selected.
bool deleteEdges(Mesh& mesh, std::vector<uint8_t>& selection);
// Removes exactly the selected faces, then the vertices left unused. Clears the selection. False when
// no face is selected.
bool deleteFaces(Mesh& mesh, std::vector<uint8_t>& selection);

// Joins the selected vertices into the lowest-index one, moved to their mean position; faces collapse
// where neighbours became equal. Leaves only the joined vertex selected. False with fewer than two
// selected vertices.
bool mergeAtCenter(Mesh& mesh, std::vector<uint8_t>& selection);

// Merges each selected vertex into the first earlier selected survivor within `threshold` (metres,
// object space); positions are not averaged. A negative or NaN threshold counts as 0 (only exactly
// coincident vertices merge). Returns the number of vertices merged away; survivors keep their
// selection.
uint32_t mergeByDistance(Mesh& mesh, std::vector<uint8_t>& selection, float threshold);

// With selected faces: moves the region by `distance` along its summed normal and joins it to the old
// boundary with quad walls; false when the region has no boundary (a closed surface). Without selected
// faces: extrudes every selected edge into a wall quad, along the summed normal of the faces beside
// the edges (+Y when there is none); false when no edge is selected. Either way exactly the new
// vertices end up selected. A non-finite distance is refused (false).
bool extrude(Mesh& mesh, std::vector<uint8_t>& selection, float distance);

// Inserts a midpoint vertex into every selected edge (faces on both sides share it; its UV on each
// face is the mean of the two corners' UVs) and adds the midpoints to the selection. Returns the
// number of edges split.
uint32_t splitEdges(Mesh& mesh, std::vector<uint8_t>& selection);

// Reverses the corner order (and UVs in step) of every selected face. The selection is only read;
// entries beyond the vertex count count as unselected. False when no face is selected.
bool flipFaces(Mesh& mesh, const std::vector<uint8_t>& selection);

} // namespace orva::meshops
