#pragma once

#include "scene/scene.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Image decoding and PNG encoding (stb_image / stb_image_write), and the conversion of encoded
// images into the shared TextureData that scenes hold. No vertical flip anywhere.
namespace orva::io {

// A decoded 8-bit image: width * height * 4 bytes, RGBA, top row first, no row padding.
struct RgbaImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// Decodes any format stb_image reads, always to RGBA. On failure `image` is left as it was.
bool decodeImage(const uint8_t* data, size_t size, RgbaImage& image, std::string* error = nullptr);
// Replaces `out` with a PNG encoding of `image`; true when the encoder reported success.
bool encodePng(const RgbaImage& image, std::vector<uint8_t>& out);

// PNG and JPEG bytes are kept as they are (never re-encoded); every other readable format is
// converted to PNG. Sizes outside 1..16384 on either axis are refused. Null on failure.
std::shared_ptr<const TextureData> textureFromEncoded(std::vector<uint8_t> bytes, std::string* error = nullptr);
// readFile + textureFromEncoded; conversion errors are prefixed with the file's name.
std::shared_ptr<const TextureData> loadTextureFile(const std::string& path, std::string* error = nullptr);
// A size x size PNG checker of `cells` cells per side with a red mark in the bottom-left cell.
// Both arguments should be at least 1; others are clamped (size to 1..16384). Never null.
std::shared_ptr<const TextureData> makeCheckerTexture(int size, int cells);
// True for the twelve image extensions the program reads (case-insensitive).
bool isImageFile(const std::string& path);

} // namespace orva::io
