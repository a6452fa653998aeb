#include "game/web_build.h"

#include "io/export_options.h"
#include "io/file_utils.h"
#include "io/glb_export.h"
#include "version.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>
#include <vector>

namespace orva::game {

namespace {

constexpr float kDegreesPerRadian = 57.29578f;
constexpr std::string_view kTitlePlaceholder = "{{TITLE}}";

// Replaces every placeholder, left to right, scanning on after each inserted title so that a
// title holding the placeholder text itself is not expanded again.
std::string pageWithTitle(std::string_view page, const std::string& title) {
    const std::string escaped = escapeHtml(title);
    std::string out;
    out.reserve(page.size() + 2 * escaped.size());
    size_t from = 0;
    for (size_t at = page.find(kTitlePlaceholder); at != std::string_view::npos;
         at = page.find(kTitlePlaceholder, from)) {
        out.append(page.substr(from, at - from));
        out += escaped;
        from = at + kTitlePlaceholder.size();
    }
    out.append(page.substr(from));
    return out;
}

// Single-precision values go into game.json widened to double, as they are.
nlohmann::json gameJson(const std::string& title, const PlayerSpawn& spawn) {
    nlohmann::json game;
    game["generator"] = std::string(kAppName) + " " + kAppVersion;
    // The player script's own defaults are the same values.
    game["player"] = {
        {"eyeHeight", 1.6}, {"gravity", 18.0}, {"height", 1.7},      {"jumpSpeed", 5.5},
        {"radius", 0.3},    {"runSpeed", 8.0}, {"stepHeight", 0.35}, {"walkSpeed", 4.5},
    };
    game["scene"] = "scene.glb";
    game["spawn"] = {
        {"pitchDeg", double(spawn.pitchDeg)},
        {"position", {double(spawn.position.x), double(spawn.position.y), double(spawn.position.z)}},
        {"yawDeg", double(spawn.yawDeg)},
    };
    game["title"] = title;
    return game;
}

} // namespace

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

PlayerSpawn findPlayerSpawn(const Scene& scene) {
    PlayerSpawn spawn;
    for (const auto& object : scene.objects) {
        if (object->type != ObjectType::SpawnPoint || !object->visible)
            continue;
        const glm::mat4 world = scene.worldMatrix(object->id);
        spawn.position = glm::vec3(world[3]);
        const glm::vec3 back(world[2]);
        const float length = glm::length(back);
        if (length > 1e-8f) {
            const glm::vec3 forward = -back / length;
            spawn.yawDeg = std::atan2(-forward.x, -forward.z) * kDegreesPerRadian;
            spawn.pitchDeg = std::asin(std::clamp(forward.y, -1.0f, 1.0f)) * kDegreesPerRadian;
        }
        spawn.found = true;
        spawn.objectName = object->name;
        return spawn;
    }

    // No spawn point: stand in front of everything visible, on the +Z side, looking towards -Z.
    glm::vec3 lo(std::numeric_limits<float>::max());
    glm::vec3 hi(std::numeric_limits<float>::lowest());
    bool any = false;
    for (const auto& object : scene.objects) {
        if (object->type != ObjectType::Mesh || !object->visible || !object->mesh)
            continue;
        const glm::mat4 world = scene.worldMatrix(object->id);
        for (const Vertex& v : object->mesh->vertices) {
            const glm::vec3 p(world * glm::vec4(v.position, 1.0f));
            lo = glm::min(lo, p);
            hi = glm::max(hi, p);
            any = true;
        }
    }
    if (any)
        spawn.position = glm::vec3((lo.x + hi.x) * 0.5f, hi.y + 0.5f, hi.z + 3.0f);
    return spawn;
}

bool buildWebGame(const Scene& scene, const std::string& folder, const WebBuildOptions& options, WebBuildResult* result,
                  std::string* error) {
    // The scene is checked and exported before anything touches the disk, so a refused build
    // leaves an earlier build in the folder as it was.
    io::ExportOptions exportOptions;
    exportOptions.selectedOnly = true;
    for (const auto& object : scene.objects)
        if (object->visible)
            exportOptions.selectedIds.push_back(object->id);
    if (exportOptions.selectedIds.empty()) {
        if (error)
            *error = "The scene has no visible objects to build.";
        return false;
    }
    std::vector<uint8_t> glb;
    if (!io::buildGlb(scene, exportOptions, glb, error))
        return false;

    const std::filesystem::path root = io::pathFromUtf8(folder);
    std::error_code ec;
    std::filesystem::create_directories(root, ec);
    if (ec || !std::filesystem::is_directory(root, ec)) {
        if (error)
            *error = "Cannot create the build folder " + folder + ": " +
                     (ec ? ec.message() : std::make_error_code(std::errc::not_a_directory).message());
        return false;
    }

    int written = 0;
    auto write = [&](const std::filesystem::path& path, const void* data, size_t size) {
        if (!io::writeFileAtomic(io::pathToUtf8(path), data, size, error))
            return false;
        ++written;
        return true;
    };

    size_t count = 0;
    const RuntimeFile* files = webRuntimeFiles(&count);
    for (size_t i = 0; i < count; ++i) {
        const RuntimeFile& file = files[i];
        const std::filesystem::path target = root / io::pathFromUtf8(file.path);
        std::error_code ignored; // a missing parent shows up as the write's own error
        std::filesystem::create_directories(target.parent_path(), ignored);
        if (std::string_view(file.path) == "index.html") {
            const std::string page =
                pageWithTitle(std::string_view(reinterpret_cast<const char*>(file.data), file.size), options.title);
            if (!write(target, page.data(), page.size()))
                return false;
        } else if (!write(target, file.data, file.size)) {
            return false;
        }
    }

    if (!write(root / "scene.glb", glb.data(), glb.size()))
        return false;

    const PlayerSpawn spawn = findPlayerSpawn(scene);
    // A title that is not valid UTF-8 (a file name from a foreign encoding) gets U+FFFD in place
    // of the bad bytes instead of failing the build.
    const std::string json =
        gameJson(options.title, spawn).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    if (!write(root / "game.json", json.data(), json.size()))
        return false;

    if (result) {
        result->outputDir = folder;
        result->indexPath = io::pathToUtf8(root / "index.html");
        result->spawn = spawn;
        result->filesWritten = written;
    }
    return true;
}

} // namespace orva::game
