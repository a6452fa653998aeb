// Untrusted scene files: any bytes either read as a scene or fail with a message, never crash or
// leak; and a scene that was read can be written and read back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <stb_image.h>

#include "io/base64.h"
#include "io/scene_file.h"

namespace {

// Embedded images with large but valid headers make the decoder allocate and fill big images from
// a few bytes: a real cost, but the image fuzzer's business, not the scene reader's. Such inputs
// are skipped so that runs stay fast and within memory.
constexpr int64_t kMaxFuzzPixels = int64_t(256) * 256;

bool isLargeImage(const nlohmann::json& data) {
    if (!data.is_string())
        return false;
    std::vector<uint8_t> bytes;
    orva::io::base64Decode(data.get_ref<const std::string&>(), bytes);
    int w = 0, h = 0, channels = 0;
    return !bytes.empty() && stbi_info_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels) &&
           int64_t(w) * int64_t(h) > kMaxFuzzPixels;
}

// Images are read only from the "data" of the entries of "textures" (an array's elements or an
// object's members; a single other value holds no image).
bool holdsLargeImage(const nlohmann::json& root) {
    if (!root.is_object() || !root.contains("textures"))
        return false;
    const nlohmann::json& textures = root["textures"];
    if (!textures.is_array() && !textures.is_object())
        return false;
    for (const auto& entry : textures)
        if (entry.is_object() && entry.contains("data") && isLargeImage(entry["data"]))
            return true;
    return false;
}

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const nlohmann::json parsed = nlohmann::json::parse(text, nullptr, false, false);
    if (!parsed.is_discarded() && holdsLargeImage(parsed))
        return -1;

    orva::io::ProjectData out;
    std::string error;
    std::vector<std::string> warnings;
    if (!orva::io::deserializeOrvaProject(text, out, &error, &warnings)) {
        check(!error.empty());
        check(warnings.empty());
        return 0;
    }
    check(error.empty());

    // What was read can be written, and the written text reads back with the same objects.
    const std::string again = orva::io::serializeOrvaProject(out.scene, out.view);
    orva::io::ProjectData back;
    check(orva::io::deserializeOrvaProject(again, back, &error));
    check(back.scene.objects.size() == out.scene.objects.size());
    check(back.scene.textures.size() == out.scene.textures.size());
    check(back.scene.materials.size() == out.scene.materials.size());
    return 0;
}
