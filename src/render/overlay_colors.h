#pragma once

#include <glm/glm.hpp>

// The fixed colours of the viewport's markers, selection outline and Edit Mode overlay
// (RGBA 0..1, straight alpha).
namespace orva {

inline constexpr glm::vec4 kSpawnGreen{0.25f, 0.85f, 0.40f, 1.0f};     // spawn point helpers
inline constexpr glm::vec4 kHelperColor{0.05f, 0.05f, 0.05f, 1.0f};    // camera and light helpers
inline constexpr glm::vec4 kActiveOrange{1.00f, 0.78f, 0.35f, 1.0f};   // the active selected object
inline constexpr glm::vec4 kSelectedOrange{0.95f, 0.50f, 0.12f, 1.0f}; // other selected objects
inline constexpr glm::vec4 kFaceTint{1.00f, 0.55f, 0.10f, 0.22f};      // fill of selected faces
inline constexpr glm::vec4 kEditSelected{1.00f, 0.55f, 0.10f, 1.0f};   // selected edges, vertices, face dots
inline constexpr glm::vec4 kEditEdge{0.02f, 0.02f, 0.02f, 0.90f};      // unselected edges
inline constexpr glm::vec4 kFaceDot{0.02f, 0.02f, 0.02f, 1.0f};        // unselected vertices and face dots

} // namespace orva
