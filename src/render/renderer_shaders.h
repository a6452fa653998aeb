#pragma once

// GLSL 330 core sources of the renderer's five programs, fixed strings compiled at start-up.
namespace orva {

// "mesh": position (0), normal (1), UV (2). Three view-space directional lights with a
// Cook-Torrance model plus a hemisphere ambient, Reinhard tone mapping and gamma 2.2.
extern const char* const kMeshVertexSource;
extern const char* const kMeshFragmentSource;
// "color": position (0), colour (1); depth bias in normalised depth, optional round points.
extern const char* const kColorVertexSource;
extern const char* const kColorFragmentSource;
// "grid": no inputs; a square of six corners from gl_VertexID on the plane y = 0.
extern const char* const kGridVertexSource;
extern const char* const kGridFragmentSource;
// "mask": position (0); writes uValue to every channel.
extern const char* const kMaskVertexSource;
extern const char* const kMaskFragmentSource;
// "outline": no inputs; a full-screen triangle from gl_VertexID sampling the selection mask.
extern const char* const kOutlineVertexSource;
extern const char* const kOutlineFragmentSource;

} // namespace orva
