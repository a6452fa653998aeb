#pragma once

#include "game/web_runtime_files.h"
#include "scene/scene.h"

#include <string>

// The web game build: a folder with the fixed player runtime (page, script, images, three.js), the
// visible part of the scene as scene.glb and a small game.json manifest with the title, the
// player's start point and the movement constants. Any static web server can serve the folder.
namespace orva::game {

struct WebBuildOptions {
    std::string title = "ORVA Game"; // shown in the page (HTML-escaped) and in game.json (as is)
};

// Where the player starts: world space, metres; angles in degrees.
struct PlayerSpawn {
    glm::vec3 position{0.0f, 0.0f, 5.0f}; // the player's feet
    float yawDeg = 0.0f;                  // 0 looks along -Z, 90 along -X
    float pitchDeg = 0.0f;                // positive looks up
    bool found = false;                   // a visible Spawn Point object was used
    std::string objectName;               // that object's name; empty when none was found
};

struct WebBuildResult {
    std::string outputDir; // the build folder (UTF-8)
    std::string indexPath; // the build folder joined with "index.html"
    PlayerSpawn spawn;     // the start point written into game.json
    int filesWritten = 0;  // 10 after a full build
};

// The first visible Spawn Point in the scene's storage order, facing along its world -Z axis.
// Without one: in front of the visible meshes on the +Z side (centre x, top + 0.5, front + 3.0),
// looking towards -Z; with no visible mesh vertex either, (0, 0, 5).
PlayerSpawn findPlayerSpawn(const Scene& scene);

// Writes the web game for `scene` into `folder` (UTF-8; created with its parents): the runtime
// files, scene.glb with every visible object (any type) and game.json. Files already there are
// replaced atomically one by one. Returns false with one sentence in `error` when the scene has
// no visible object or cannot be exported (nothing is written then), or when the folder cannot be
// created or a file cannot be written (files written before the failure stay). `result` is
// filled only on success.
bool buildWebGame(const Scene& scene, const std::string& folder, const WebBuildOptions& options,
                  WebBuildResult* result = nullptr, std::string* error = nullptr);

// The page's text for `title`: "&", "<", ">", '"' and "'" as entities, every other byte unchanged.
std::string escapeHtml(const std::string& text);

} // namespace orva::game
