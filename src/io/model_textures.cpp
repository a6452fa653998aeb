#include "io/model_textures.h"

#include "io/file_utils.h"
#include "io/image.h"

#include <assimp/texture.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace orva::io {

namespace {

constexpr unsigned kMaxTextureSize = 16384;

} // namespace

std::shared_ptr<const TextureData> textureFromEmbedded(const aiTexture& texture, std::string* error) {
    if (!texture.pcData) {
        setError(error, "the embedded image is empty");
        return nullptr;
    }
    if (texture.mHeight == 0) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(texture.pcData);
        return textureFromEncoded(std::vector<uint8_t>(bytes, bytes + texture.mWidth), error);
    }
    if (texture.mWidth < 1 || texture.mWidth > kMaxTextureSize || texture.mHeight > kMaxTextureSize) {
        setError(error, "image size " + std::to_string(texture.mWidth) + "x" + std::to_string(texture.mHeight) +
                            " is not supported");
        return nullptr;
    }
    RgbaImage image;
    image.width = int32_t(texture.mWidth);
    image.height = int32_t(texture.mHeight);
    const size_t count = size_t(texture.mWidth) * texture.mHeight;
    image.pixels.resize(count * 4);
    for (size_t i = 0; i < count; ++i) {
        const aiTexel& t = texture.pcData[i];
        uint8_t* p = &image.pixels[i * 4];
        p[0] = t.r;
        p[1] = t.g;
        p[2] = t.b;
        p[3] = t.a;
    }
    std::vector<uint8_t> png;
    if (!encodePng(image, png)) {
        setError(error, "could not convert the image to PNG");
        return nullptr;
    }
    return makeTextureData("image/png", std::move(png), image.width, image.height);
}

std::vector<std::string> textureCandidatePaths(const std::string& modelFolder, const std::string& filePath) {
    std::string path = filePath;
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::filesystem::path folder = pathFromUtf8(modelFolder);
    const std::string name = fileName(path);

    std::vector<std::string> candidates;
    auto add = [&](const std::filesystem::path& p) {
        std::string s = pathToUtf8(p);
        if (!s.empty() && std::find(candidates.begin(), candidates.end(), s) == candidates.end())
            candidates.push_back(std::move(s));
    };
    if (!path.empty()) {
        const std::filesystem::path p = pathFromUtf8(path);
        add(p.is_absolute() ? p : folder / p);
    }
    if (!name.empty()) {
        const std::filesystem::path n = pathFromUtf8(name);
        add(folder / n);
        add(folder / "textures" / n);
        add(folder / "Textures" / n);
    }
    return candidates;
}

std::shared_ptr<const TextureData> findTextureFile(const std::string& modelFolder, const std::string& filePath) {
    for (const std::string& candidate : textureCandidatePaths(modelFolder, filePath)) {
        std::error_code ec;
        const std::filesystem::path p = pathFromUtf8(candidate);
        if (!std::filesystem::is_regular_file(p, ec))
            continue;
        const uintmax_t size = std::filesystem::file_size(p, ec);
        if (ec || size > kMaxTextureFileBytes)
            continue;
        if (auto data = loadTextureFile(candidate))
            return data;
    }
    return nullptr;
}

} // namespace orva::io
