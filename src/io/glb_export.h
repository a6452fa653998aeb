#pragma once

#include "io/export_options.h"
#include "scene/scene.h"

#include <cstdint>
#include <string>
#include <vector>

// Binary glTF 2.0 (GLB) export: one node per exported object with the hierarchy kept, one mesh per
// mesh object with faces, metallic-roughness materials, the PNG/JPEG images embedded unchanged,
// perspective cameras and KHR_lights_punctual lights. Extensions used: KHR_lights_punctual and
// KHR_texture_transform.
namespace orva::io {

// Fills `out` with a complete GLB file (replacing its content). Exports every object, or with
// options.selectedOnly the existing objects listed in options.selectedIds, whatever their type or
// visibility. A node whose parent is not exported hangs under its nearest exported ancestor (or
// becomes a root) with the skipped transforms baked in. Mesh data stays in object space. Values
// glTF does not accept (a 90 degree or closed spot cone, equal clip distances, factors outside
// 0..1, a negative intensity) are moved to the nearest accepted value; a range of 0 or less is
// left out (unlimited).
// Returns false with one sentence in `error` when nothing is chosen, the JSON cannot be produced
// or the file would exceed the format's 4 GiB limit; `out` then holds nothing useful.
bool buildGlb(const Scene& scene, const ExportOptions& options, std::vector<uint8_t>& out,
              std::string* error = nullptr);

// buildGlb, then writeFileAtomic. Nothing is written when building fails.
bool exportGlb(const Scene& scene, const std::string& path, const ExportOptions& options, std::string* error = nullptr);

} // namespace orva::io
