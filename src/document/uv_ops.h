#pragma once

#include "scene/mesh.h"

#include <compare>
#include <cstdint>
#include <vector>

// Everything that computes or edits per-corner UVs (Face::uvs): the projections of the UV Mapping
// menu and the corner tools of the UV editor (picking, box selection, islands, set arithmetic,
// moving and welding).
//
// Face lists: an empty list always means every face of the mesh; indices that name no face are
// ignored. A face "has valid UVs" when its `uvs` is non-empty and as long as its `indices`; the corner
// tools look only at such ("visible") faces. Two UVs are the same point when both components differ
// by at most 1e-5. Positions are object-local.
namespace orva::uv {

// One corner of one face. Corners order by face, then by corner position.
struct Corner {
    uint32_t face = 0;
    uint32_t corner = 0; // position within the face, 0 .. n-1

    auto operator<=>(const Corner&) const = default;
};

enum class Axis : int { X = 0, Y = 1, Z = 2 };

// How a corner list combines with a selection. The order differs from the document's SelectOp.
enum class SetOp : int {
    Replace = 0, // the new list
    Add = 1,     // union
    Remove = 2,  // selection minus the new list
    Toggle = 3,  // selection minus the list when every listed corner is selected, otherwise the union
};

// [SECTION] Projections
// Each gives every target face one UV per corner (a face without a valid list first gets (0, 0) per
// corner) and increments `revision` once, also when there were no target faces. A face that names a
// missing vertex is skipped. `tileSize` is world units per texture repeat, at least 1e-6 (zero,
// negative or NaN count as 1e-6). `scale` is the object's transform scale: positions are multiplied by
// it first so texel density stays even on non-uniformly scaled objects.

// Every face on the plane of its dominant normal axis, seen from outside; negative scales mirror the
// normal so mirrored objects keep readable textures.
void projectBox(Mesh& mesh, const std::vector<uint32_t>& faces, float tileSize, const glm::vec3& scale);
// One mapping for every face: X (side) (-z, y), Y (top) (x, -z), Z (front) (x, y).
void projectPlanar(Mesh& mesh, const std::vector<uint32_t>& faces, Axis axis, float tileSize, const glm::vec3& scale);
// Around the vertical axis through the centre of the targets' bounds; u wraps once around, v spans the
// height. A face across the back seam continues past u = 1.
void projectCylinder(Mesh& mesh, const std::vector<uint32_t>& faces);
// Longitude and latitude around the centre of the targets' bounds, with the same seam handling.
void projectSphere(Mesh& mesh, const std::vector<uint32_t>& faces);
// Quads get the unit square in corner order; other faces their own dominant-plane projection fitted
// into the unit square without distortion.
void resetPerFace(Mesh& mesh, const std::vector<uint32_t>& faces);
// Stretches the targets' UVs together so they fill the unit square exactly (aspect not kept).
void fitToUnit(Mesh& mesh, const std::vector<uint32_t>& faces);
// Scales (about the centre of the targets' UV bounds), rotates counter-clockwise by `angleDegrees`
// about the same centre, then translates.
void transform(Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& translate, const glm::vec2& scale,
               float angleDegrees);

// [SECTION] Corner lists

// Sorts and removes duplicates.
void normalize(std::vector<Corner>& corners);
// Binary search of a normalized list.
bool contains(const std::vector<Corner>& normalized, const Corner& corner);
// Combines `corners` (normalized first) into `selection`, which stays normalized (an unsorted one is
// normalized first). An unknown op leaves the selection unchanged.
void combine(std::vector<Corner>& selection, const std::vector<Corner>& corners, SetOp op);
// Removes, keeping the order, corners whose face does not exist, has no valid UVs, or has fewer
// corners than the corner position.
void dropInvalid(const Mesh& mesh, std::vector<Corner>& corners);
// With an empty list every face with valid UVs, in face order; otherwise the listed faces, in list
// order, that exist and have valid UVs.
std::vector<uint32_t> visibleFaces(const Mesh& mesh, const std::vector<uint32_t>& faces);
// The corners of the visible faces at the same vertex and the same UV point as `corner` (normalized).
// Corners across a UV seam are not included. When nothing matches (the corner's face is not visible)
// the result is just `corner`; an invalid corner gives an empty list.
std::vector<Corner> sharedPoint(const Mesh& mesh, const std::vector<uint32_t>& visible, Corner corner);
// (face, 0) .. (face, n-1); empty for a face that does not exist.
std::vector<Corner> faceCorners(const Mesh& mesh, uint32_t face);
// Every corner of the visible faces of the list, face by face.
std::vector<Corner> cornersOfFaces(const Mesh& mesh, const std::vector<uint32_t>& faces);
// The visible faces connected to `start` through UV-continuous edges, ascending. Empty when `start`
// does not exist or has no valid UVs.
std::vector<uint32_t> island(const Mesh& mesh, const std::vector<uint32_t>& faces, uint32_t start);
// Faces all of whose corners are in the normalized list, in face order.
std::vector<uint32_t> fullySelectedFaces(const Mesh& mesh, const std::vector<Corner>& normalized);

// [SECTION] Picking (UV space, over the visible faces of the list)

// The nearest corner within `radius` (inclusive; ties go to the later corner in face, corner order).
bool pickCorner(const Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& p, float radius, Corner& out);
// The nearest face side within `radius`; outA and outB receive its two corners.
bool pickEdge(const Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& p, float radius, Corner& outA,
              Corner& outB);
// The smallest face whose UV polygon contains p (even-odd rule); the earlier face on equal areas.
// -1 when none does.
int pickFace(const Mesh& mesh, const std::vector<uint32_t>& faces, const glm::vec2& p);
// Every corner whose UV lies in the rectangle spanned by a and b (any two opposite corners, bounds
// inclusive), normalized.
std::vector<Corner> cornersInRect(const Mesh& mesh, const std::vector<uint32_t>& faces, glm::vec2 a, glm::vec2 b);

// [SECTION] Moving corners

// The UVs of the corners in list order; (0, 0) for a corner that does not exist (so the result stays
// aligned with the list).
std::vector<glm::vec2> gather(const Mesh& mesh, const std::vector<Corner>& corners);
// Centre of the UV bounding box of the existing corners; (0.5, 0.5) when there are none.
glm::vec2 boundsCenter(const Mesh& mesh, const std::vector<Corner>& corners);
// For each i below both sizes: UV(corners[i]) = R(angle) * ((startUvs[i] - pivot) * scale) + pivot +
// translate. Re-applying from the same start UVs every frame keeps a drag free of drift. Corners that
// do not exist are skipped. Increments `revision`.
void transformCorners(Mesh& mesh, const std::vector<Corner>& corners, const std::vector<glm::vec2>& startUvs,
                      const glm::vec2& pivot, const glm::vec2& translate, float angleDegrees, const glm::vec2& scale);
// Moves the listed corners of each vertex (with at least two listed) to their mean UV. Returns the
// number of vertices whose UVs actually differed (0: nothing needed welding). Listing a corner twice
// counts it once; corners that do not exist are ignored. Increments `revision`.
uint32_t weld(Mesh& mesh, const std::vector<Corner>& corners);

} // namespace orva::uv
