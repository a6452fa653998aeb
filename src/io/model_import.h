#pragma once

#include "scene/scene.h"

#include <cstdint>
#include <string>
#include <vector>

// Importing FBX and OBJ models into a scene as mesh objects with their materials and textures.
namespace orva::io {

struct ImportResult {
    std::vector<uint32_t> objectIds; // the mesh objects created, in creation order
    int32_t meshObjectCount = 0;
    int32_t materialCount = 0; // materials added to the scene
    int32_t textureCount = 0;  // textures added to the scene
    uint64_t vertexCount = 0;  // over all created meshes
    uint64_t faceCount = 0;
    std::vector<std::string> warnings; // what could not be carried over, in the order found
};

// The path's extension (".FBX" of model.FBX) with every ASCII letter lower-cased; empty when the
// file name has none.
std::string lowerExtension(const std::string& path);

// True when the lower-cased extension is exactly ".fbx" or ".obj" (model.FBX yes, model.fbx.bak
// no).
bool isImportableModel(const std::string& path);

// Adds the model at `path` (UTF-8) to `scene`: one mesh object per node and material (the
// node's name; later parts "node_material" or "node_<part>", children of the first), placed at the
// node's world placement under its nearest converted ancestor, in metres with +Y up. Materials and
// textures the model shares are added once; objects without a material get the scene's default.
//
// All or nothing: on failure returns false, fills `error` (when given) with one sentence and leaves
// `scene` exactly as it was. On success fills `result` (when given) and returns true; warnings
// (cameras, lights, textures not found, skinned meshes, animations, then the reader's own
// messages) do not stop an import.
//
// The file is parsed in a child process: a file that crashes the third-party reader, or keeps it
// busy for more than ten minutes, fails with a message instead of taking the program down.
bool importModel(Scene& scene, const std::string& path, ImportResult* result = nullptr, std::string* error = nullptr);

} // namespace orva::io
