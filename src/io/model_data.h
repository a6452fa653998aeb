#pragma once

#include "scene/mesh.h"
#include "scene/scene.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a model file becomes before it meets a scene, and the byte form in which the model reader
// hands it from its own process to the editor's.
namespace orva::io {

// A polygon mesh in flat arrays, cheap to fill and to hand over: no allocation per face. Face f
// has cornerCounts[f] (3 or more) corners, stored one face after another in `corners` (vertex
// indices) and `uvs` (one per corner; (0, 0) for faces without UVs).
struct ModelMesh {
    static constexpr uint8_t kSmooth = 1;
    static constexpr uint8_t kHasUvs = 2;

    std::vector<glm::vec3> positions;
    std::vector<uint32_t> cornerCounts;
    std::vector<uint8_t> faceFlags; // kSmooth | kHasUvs per face
    std::vector<uint32_t> corners;
    std::vector<glm::vec2> uvs;

    size_t faceCount() const { return cornerCounts.size(); }
    // The editor's form of the same mesh.
    Mesh toMesh() const;
};

// One mesh object to create. World space is the scene's: metres, right-handed, +Y up.
struct ModelObject {
    std::string name;      // the base name; the scene makes it unique
    int32_t parent = -1;   // index of an earlier object in ModelData::objects; -1: the top level
    glm::mat4 world{1.0f}; // the object's world placement, whatever its parent
    ModelMesh mesh;
    int32_t material = -1; // index into ModelData::materials; -1: the scene's default material
    bool visible = true;
};

// Materials and textures appear in the order the objects first use them, so that adding them to
// a scene in that order gives the same indices as converting them one object at a time.
struct ModelData {
    std::vector<Material> materials;  // baseColorTexture indexes `textures` (or is -1)
    std::vector<Texture> textures;    // each with an image and an empty path
    std::vector<ModelObject> objects; // parents before their children
    std::vector<std::string> warnings;
};

// Replaces `out` with the byte form of `model` (native byte order: both ends are this program on
// this machine).
void encodeModelData(const ModelData& model, std::string& out);
// Replaces `out` with the model in `data`. Refuses, with one sentence in `error`, bytes that are
// truncated or inconsistent: an index out of range, a face with fewer than 3 corners, a parent
// after its child, corner arrays that do not add up, an image that is neither PNG nor JPEG or
// outside 1..16384 pixels. Textures get fresh TextureData ids of this process.
bool decodeModelData(const char* data, size_t size, ModelData& out, std::string* error = nullptr);

} // namespace orva::io
