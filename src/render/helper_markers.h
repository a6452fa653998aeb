#pragma once

#include <vector>

#include "render/dynamic_batch.h"
#include "render/viewport_render_params.h"

namespace orva {

// Wire markers for the objects without a mesh (cameras, lights, spawn points), as one list of
// line segments (two vertices each) in world space, ready to draw with proj x view. Markers
// follow their object's position and rotation but not its scale. Replaces the contents of
// `lines` (its capacity is kept, so a list reused every frame stops allocating). No GL.
void buildHelperLines(const ViewportRenderParams& params, std::vector<ColorVertex>& lines);

} // namespace orva
