#pragma once

#include "io/export_options.h"
#include "scene/scene.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Wavefront OBJ export: the mesh objects of a scene in world space (no hierarchy), one MTL file
// for the materials they use and the texture images those materials show, written unchanged.
namespace orva::io {

struct ObjDocument {
    std::string objText;
    std::string mtlText;     // empty when no exported object uses a valid material
    std::string mtlFileName; // as given to buildObj; the OBJ names it after "mtllib "
    int32_t meshCount = 0;   // mesh objects written
    // File name and image of every texture file that belongs beside the OBJ, in first-use order,
    // one entry per distinct TextureData (by identity). The bytes are written as they are.
    std::vector<std::pair<std::string, std::shared_ptr<const TextureData>>> textureFiles;
};

// Builds the OBJ and MTL texts in memory. Exports every mesh object that has a mesh (visible or
// not), or with options.selectedOnly only those listed in options.selectedIds. Never fails: a
// scene without such objects gives meshCount 0. Faces with fewer than 3 corners or with corners
// naming missing vertices are left out.
ObjDocument buildObj(const Scene& scene, const ExportOptions& options, const std::string& mtlFileName);

// Writes objPath, the MTL beside it (objPath with the extension ".mtl") when a material is used,
// and the texture files into objPath's folder. Returns false with one sentence in `error` when
// there is nothing to export (nothing is written then) or a file cannot be written (files
// written before the failure stay). On success `exportedCount` receives the mesh count.
bool exportObj(const Scene& scene, const std::string& objPath, const ExportOptions& options,
               std::string* error = nullptr, int32_t* exportedCount = nullptr);

} // namespace orva::io
