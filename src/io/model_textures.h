#pragma once

#include "scene/scene.h"

#include <memory>
#include <string>
#include <vector>

struct aiTexture;

// Finding the images a model's materials name: inside the model file or beside it.
namespace orva::io {

// Texture files larger than this are not read (a path in a hostile file may name anything).
inline constexpr uintmax_t kMaxTextureFileBytes = uintmax_t(512) << 20;

// An image stored inside the model file: compressed file bytes (mHeight 0, mWidth bytes) go
// through textureFromEncoded; raw BGRA texels (mWidth x mHeight, 1..16384 each) are encoded as
// PNG. Null with `error` when the bytes are not a readable image.
std::shared_ptr<const TextureData> textureFromEmbedded(const aiTexture& texture, std::string* error = nullptr);

// The places where a texture that the model names as `filePath` may be, in the order they are
// tried: the path itself when it is absolute, the path taken relative to the model's folder, then
// the file's bare name in the model's folder and in its "textures" and "Textures" subfolders.
// Backslashes in `filePath` count as folder separators. `modelFolder` may be empty (the current
// folder). No duplicates and no empty entries.
std::vector<std::string> textureCandidatePaths(const std::string& modelFolder, const std::string& filePath);

// The first candidate that is a regular file of at most kMaxTextureFileBytes and loads with
// loadTextureFile; null when none does.
std::shared_ptr<const TextureData> findTextureFile(const std::string& modelFolder, const std::string& filePath);

} // namespace orva::io
