#include "io/image.h"

#include "io/file_utils.h"

#include <array>
#include <climits>
#include <string_view>

#include <stb_image.h>
#include <stb_image_write.h>

namespace orva::io {

namespace {

constexpr int kMaxTextureSize = 16384;

std::string decoderFailure() {
    const char* reason = stbi_failure_reason();
    return std::string("unsupported or damaged image (") + (reason ? reason : "unknown reason") + ")";
}

// stb_image measures its input in int and reads from a non-null pointer even when it is empty.
bool fitsDecoder(size_t size) { return size <= size_t(INT_MAX); }
const stbi_uc* decoderInput(const uint8_t* data) {
    static const stbi_uc kNothing = 0;
    return data ? data : &kNothing;
}

bool startsWith(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> prefix) {
    if (bytes.size() < prefix.size())
        return false;
    size_t i = 0;
    for (uint8_t b : prefix)
        if (bytes[i++] != b)
            return false;
    return true;
}

void appendChunk(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

} // namespace

bool decodeImage(const uint8_t* data, size_t size, RgbaImage& image, std::string* error) {
    if (!fitsDecoder(size)) {
        setError(error, "unsupported or damaged image (file too large)");
        return false;
    }
    // Decoded in the file's own channel count and widened to RGBA here: this stb_image release
    // converts 16-bit PNM data with its 8-bit channel converter when asked for another channel
    // count, reading past the end of its buffer.
    int w = 0, h = 0, channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(decoderInput(data), int(size), &w, &h, &channels, 0);
    if (!decoded) {
        setError(error, decoderFailure());
        return false;
    }
    if (channels < 1 || channels > 4) {
        stbi_image_free(decoded);
        setError(error, "unsupported or damaged image (unexpected channel count)");
        return false;
    }
    const size_t count = size_t(w) * size_t(h);
    std::vector<uint8_t> pixels(count * 4);
    const stbi_uc* in = decoded;
    uint8_t* out = pixels.data();
    for (size_t i = 0; i < count; ++i, in += channels, out += 4) {
        const bool grey = channels < 3; // grey (+ alpha) spreads over R, G and B
        out[0] = in[0];
        out[1] = grey ? in[0] : in[1];
        out[2] = grey ? in[0] : in[2];
        out[3] = channels == 2 ? in[1] : (channels == 4 ? in[3] : 255);
    }
    stbi_image_free(decoded);
    image.width = w;
    image.height = h;
    image.pixels = std::move(pixels);
    return true;
}

bool encodePng(const RgbaImage& image, std::vector<uint8_t>& out) {
    out.clear();
    // The writer counts rows and its filtered buffer ((width * 4 + 1) * height bytes) in int.
    if (image.width <= 0 || image.height <= 0 || image.width > (INT_MAX - 1) / 4 ||
        int64_t(image.width * 4 + 1) * image.height > INT_MAX ||
        image.pixels.size() < size_t(image.width) * size_t(image.height) * 4)
        return false;
    const int ok =
        stbi_write_png_to_func(appendChunk, &out, image.width, image.height, 4, image.pixels.data(), image.width * 4);
    return ok != 0;
}

std::shared_ptr<const TextureData> textureFromEncoded(std::vector<uint8_t> bytes, std::string* error) {
    // 1. Probe the size without decoding.
    if (!fitsDecoder(bytes.size())) {
        setError(error, "unsupported or damaged image (file too large)");
        return nullptr;
    }
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(decoderInput(bytes.data()), int(bytes.size()), &w, &h, &channels)) {
        setError(error, decoderFailure());
        return nullptr;
    }
    // 2. Size limits (a texture must fit every GPU we draw on).
    if (w < 1 || h < 1 || w > kMaxTextureSize || h > kMaxTextureSize) {
        setError(error, "image size " + std::to_string(w) + "x" + std::to_string(h) + " is not supported");
        return nullptr;
    }
    // 3-4. PNG and JPEG are kept byte for byte, so files and exports carry the user's own image.
    if (startsWith(bytes, {0x89, 0x50, 0x4E, 0x47}))
        return makeTextureData("image/png", std::move(bytes), w, h);
    if (startsWith(bytes, {0xFF, 0xD8, 0xFF}))
        return makeTextureData("image/jpeg", std::move(bytes), w, h);

    // 5. Everything else becomes PNG.
    RgbaImage image;
    if (!decodeImage(bytes.data(), bytes.size(), image, error))
        return nullptr;
    bytes = {}; // the input is not needed any more: free it before encoding
    if (image.width > kMaxTextureSize || image.height > kMaxTextureSize) {
        setError(error, "image size " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                            " is not supported");
        return nullptr;
    }
    std::vector<uint8_t> png;
    if (!encodePng(image, png)) {
        setError(error, "could not convert the image to PNG");
        return nullptr;
    }
    return makeTextureData("image/png", std::move(png), image.width, image.height);
}

std::shared_ptr<const TextureData> loadTextureFile(const std::string& path, std::string* error) {
    std::string content;
    if (!readFile(path, content, error))
        return nullptr;
    std::vector<uint8_t> bytes(content.begin(), content.end());
    content = std::string();
    std::string reason;
    auto texture = textureFromEncoded(std::move(bytes), &reason);
    if (!texture)
        setError(error, fileName(path) + ": " + reason);
    return texture;
}

std::shared_ptr<const TextureData> makeCheckerTexture(int size, int cells) {
    // Out-of-range arguments are the caller's fault; clamp them rather than fail.
    size = size < 1 ? 1 : (size > kMaxTextureSize ? kMaxTextureSize : size);
    cells = cells < 1 ? 1 : cells;
    const unsigned n = unsigned(size);
    const unsigned cell = (n / unsigned(cells)) < 1 ? 1 : n / unsigned(cells);

    RgbaImage image;
    image.width = size;
    image.height = size;
    image.pixels.resize(size_t(n) * n * 4);
    uint8_t* p = image.pixels.data();
    for (unsigned y = 0; y < n; ++y) {
        for (unsigned x = 0; x < n; ++x, p += 4) {
            const bool even = ((y / cell + x / cell) % 2u) == 0;
            const uint8_t grey = even ? 70 : 200;
            const uint8_t blue = even ? 78 : 208;
            // The bottom-left cell is marked red so that flipped or mirrored UVs show at a glance.
            const bool marker = y >= n - cell && x < cell;
            p[0] = marker ? 220 : grey;
            p[1] = grey;
            p[2] = blue;
            p[3] = 255;
        }
    }
    std::vector<uint8_t> png;
    encodePng(image, png);
    return makeTextureData("image/png", std::move(png), size, size);
}

bool isImageFile(const std::string& path) {
    static constexpr std::array<std::string_view, 12> kExtensions = {".png", ".jpg", ".jpeg", ".tga", ".bmp", ".psd",
                                                                     ".gif", ".hdr", ".pic",  ".pnm", ".ppm", ".pgm"};
    std::string extension = pathToUtf8(pathFromUtf8(path).extension());
    if (extension.empty())
        return false;
    for (char& c : extension)
        c = asciiLower(c);
    for (std::string_view known : kExtensions)
        if (extension == known)
            return true;
    return false;
}

} // namespace orva::io
