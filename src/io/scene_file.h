#pragma once

#include "scene/scene.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The ".orva" scene file: one UTF-8 JSON document (format "ORVA", version 1.3) holding the scene
// and the editor camera. Every object in the file lists its keys in ascending byte order, with one
// tab per nesting level. Textures are embedded as Base64 in a free-standing file and written as
// image files into the project's Assets/Textures folder when the file lies in a project's Scenes
// folder. Readers never throw: failures come back as one sentence, non-fatal problems as warnings.
namespace orva::io {

// The editor camera saved with a scene; the defaults are those of a file that has none.
struct ProjectViewState {
    glm::vec3 target{0.0f};
    float distance = 12.0f;
    float yawDeg = 45.0f;
    float pitchDeg = 28.0f;
    float fovDeg = 50.0f;
    bool orthographic = false;
};

// What a successful read produces.
struct ProjectData {
    Scene scene;
    ProjectViewState view;
};

// The document text; every texture with image data is embedded. Floats are written as the
// shortest text that reads back as the same double (0.8f as 0.800000011920929, 1.0f as 1.0);
// "metadata"."savedUtc" is the current UTC time.
std::string serializeOrvaProject(const Scene& scene, const ProjectViewState& view);

// Writes the scene file at `path` atomically. When the file's folder is named "Scenes" and the
// folder above holds "project.json", each texture is first written to
// ../Assets/Textures/<name>_<16 hex digits of its FNV-1a hash>.png|.jpg and the file refers to
// it by "path" instead of embedding it; a failed texture write stops the save before the scene
// file is touched. The Assets/Textures folder must exist.
bool saveOrvaProject(const std::string& path, const Scene& scene, const ProjectViewState& view,
                     std::string* error = nullptr);

// Reads a document. `out` changes only when the read succeeds. Warnings (newer minor version,
// unreadable textures, unknown object types, missing materials, invalid parent links) are
// appended to `warnings` only when the read succeeds. Texture "path" values are resolved against
// `baseFolder` (the scene file's folder) and read only when they stay inside its parent folder
// (the project); an empty `baseFolder` ignores them.
bool deserializeOrvaProject(const std::string& text, ProjectData& out, std::string* error = nullptr,
                            std::vector<std::string>* warnings = nullptr, const std::string& baseFolder = {});

// readFile, then deserializeOrvaProject with the file's folder as the base folder.
bool loadOrvaProject(const std::string& path, ProjectData& out, std::string* error = nullptr,
                     std::vector<std::string>* warnings = nullptr);

// FNV-1a, 64 bits (offset basis 0xcbf29ce484222325, prime 0x100000001b3).
uint64_t fnv1a64(const uint8_t* data, size_t size);

// The file name a texture gets in a project's texture folder: the stem of `name` with every byte
// other than ASCII letters, digits, '-' and '_' replaced by '_' ("Texture" when nothing is
// left), '_', the 16 lower-case hex digits of the hash of the encoded bytes, and ".jpg" for
// "image/jpeg" data, else ".png". Identical bytes always give the same name.
std::string projectTextureFileName(const std::string& name, const TextureData& data);

} // namespace orva::io
