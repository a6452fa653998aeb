#include "io/project.h"

#include "io/file_utils.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include <nlohmann/json.hpp>

namespace orva::io {

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

constexpr const char* kManifestName = "project.json";
constexpr const char* kManifestFormat = "ORVAProject";
constexpr int kManifestVersion = 1;
constexpr const char* kScenesFolder = "Scenes";
constexpr const char* kSceneExtension = ".orva";

// Symlinks resolved where the path exists; the absolute form when even that fails.
fs::path canonicalFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path result = fs::weakly_canonical(folder, ec);
    if (ec || result.empty()) {
        ec.clear();
        result = fs::absolute(folder, ec);
    }
    return result;
}

bool listed(const std::vector<std::string>& scenes, const std::string& entry) {
    return std::find(scenes.begin(), scenes.end(), entry) != scenes.end();
}

// A manifest entry we are willing to use: relative, staying inside the project and naming a file.
// Returns the normal form, or an empty string for an entry to skip.
std::string usableEntry(const std::string& entry) {
    const fs::path path = pathFromUtf8(entry);
    if (path.has_root_path())
        return {};
    for (const fs::path& part : path)
        if (part == "..")
            return {};
    const fs::path normal = path.lexically_normal();
    const fs::path name = normal.filename();
    if (name.empty() || name == ".")
        return {};
    return pathToUtf8(normal);
}

// True when something (even a dangling symlink) is at `path`.
bool occupied(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

} // namespace

bool Project::create(const std::string& directory, std::string* error) {
    if (directory.empty()) {
        setError(error, "Cannot create project directory: " +
                            std::make_error_code(std::errc::no_such_file_or_directory).message());
        return false;
    }
    const fs::path folder = pathFromUtf8(directory);
    if (occupied(folder / kManifestName)) {
        setError(error, "A ORVA project already exists in this folder.");
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder / kScenesFolder, ec);
    if (ec) {
        setError(error, "Cannot create project directory: " + ec.message());
        return false;
    }
    fs::create_directories(folder / "Assets" / "Textures", ec);
    if (ec) {
        setError(error, "Cannot create project asset directories: " + ec.message());
        return false;
    }

    // A project whose first manifest cannot be written is not opened: the object returns to the
    // project it held before, so the editor keeps working with that one.
    Project previous = std::move(*this);
    root = pathToUtf8(canonicalFolder(folder));
    scenes.clear();
    activeScene.clear();
    std::string firstScene;
    if (!addScene("Main", firstScene, error)) {
        *this = std::move(previous);
        return false;
    }
    return true;
}

bool Project::open(const std::string& path, std::string* error) {
    fs::path folder = pathFromUtf8(path);
    if (folder.filename() == kManifestName) {
        folder = folder.parent_path();
        if (folder.empty())
            folder = ".";
    }

    std::string text;
    if (!readFile(pathToUtf8(folder / kManifestName), text, error))
        return false;

    std::string format;
    std::vector<std::string> entries;
    std::string active;
    try {
        const json manifest = json::parse(text);
        format = manifest.value("format", std::string());
        // get<vector> refuses a non-array; iterating would accept a lone string as one entry.
        entries = manifest.at("scenes").get<std::vector<std::string>>();
        active = manifest.value("activeScene", std::string());
    } catch (const json::exception& e) {
        setError(error, std::string("Invalid project manifest: ") + e.what());
        return false;
    }
    if (format != kManifestFormat) {
        setError(error, "The selected folder is not a ORVA project.");
        return false;
    }

    std::vector<std::string> kept;
    kept.reserve(entries.size());
    for (const std::string& entry : entries) {
        std::string usable = usableEntry(entry);
        if (!usable.empty() && !listed(kept, usable))
            kept.push_back(std::move(usable));
    }
    if (kept.empty()) {
        setError(error, "The project contains no scenes.");
        return false;
    }
    std::string chosen = usableEntry(active);
    if (chosen.empty() || !listed(kept, chosen))
        chosen = kept.front();

    root = pathToUtf8(canonicalFolder(folder));
    scenes = std::move(kept);
    activeScene = std::move(chosen);
    return true;
}

bool Project::save(std::string* error) const {
    if (!isOpen()) {
        setError(error, "No project is open.");
        return false;
    }
    std::string text;
    try {
        json manifest = json::object();
        manifest["activeScene"] = activeScene;
        manifest["format"] = kManifestFormat;
        manifest["scenes"] = scenes;
        manifest["version"] = kManifestVersion;
        // Strict dump: a path that is not valid UTF-8 fails here rather than being altered.
        text = manifest.dump(1, '\t') + "\n";
    } catch (const json::exception& e) {
        setError(error, std::string("Cannot write project manifest: ") + e.what());
        return false;
    }
    return writeFileAtomic(pathToUtf8(pathFromUtf8(root) / kManifestName), text.data(), text.size(), error);
}

bool Project::addScene(const std::string& name, std::string& newScenePath, std::string* error) {
    if (!isOpen()) {
        setError(error, "No project is open.");
        return false;
    }
    std::string base = name;
    for (char& c : base)
        if (c == '*' || c == '/' || c == ':' || c == '\\')
            c = '_';
    if (base.empty())
        base = "Scene";

    // A listed entry whose file is not written yet is as taken as an existing file: two entries
    // for one file would make the second scene overwrite the first.
    const fs::path rootPath = pathFromUtf8(root);
    fs::path candidate = fs::path(kScenesFolder) / pathFromUtf8(base + kSceneExtension);
    for (int counter = 1; occupied(rootPath / candidate) || listed(scenes, pathToUtf8(candidate)); ++counter)
        candidate = fs::path(kScenesFolder) / pathFromUtf8(base + " " + std::to_string(counter) + kSceneExtension);

    const std::string previousActive = activeScene;
    scenes.push_back(pathToUtf8(candidate));
    activeScene = scenes.back();
    if (!save(error)) {
        scenes.pop_back();
        activeScene = previousActive;
        return false;
    }
    newScenePath = pathToUtf8(rootPath / candidate);
    return true;
}

bool Project::setActiveScene(const std::string& scenePath, std::string* error) {
    if (!isOpen()) {
        setError(error, "No project is open.");
        return false;
    }
    const std::string relative = pathToUtf8(pathFromUtf8(scenePath).lexically_relative(pathFromUtf8(root)));
    if (!listed(scenes, relative)) {
        setError(error, "Scene is not part of this project.");
        return false;
    }
    const std::string previousActive = activeScene;
    activeScene = relative;
    if (!save(error)) {
        activeScene = previousActive;
        return false;
    }
    return true;
}

bool Project::renameScene(const std::string& scenePath, const std::string& newName, std::string& newScenePath,
                          std::string* error) {
    if (!isOpen()) {
        setError(error, "No project is open.");
        return false;
    }
    std::error_code ec;
    const fs::path current = fs::weakly_canonical(pathFromUtf8(scenePath), ec);
    if (ec) {
        setError(error, "Could not resolve scene path: " + ec.message());
        return false;
    }
    const fs::path rootPath = pathFromUtf8(root);
    const std::string oldEntry = pathToUtf8(current.lexically_relative(rootPath));
    const auto entryIt = std::find(scenes.begin(), scenes.end(), oldEntry);
    if (entryIt == scenes.end()) {
        setError(error, "Scene is not part of this project.");
        return false;
    }

    const fs::path namePath = pathFromUtf8(newName);
    if (newName.empty() || namePath.filename() != namePath || newName == "." || newName == "..") {
        setError(error, "Enter a scene name without a folder path.");
        return false;
    }
    std::string extension = pathToUtf8(namePath.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), asciiLower);
    const fs::path target =
        current.parent_path() / pathFromUtf8(extension == kSceneExtension ? newName : newName + kSceneExtension);
    if (target == current) {
        newScenePath = scenePath;
        return true;
    }
    const std::string newEntry = pathToUtf8(target.lexically_relative(rootPath));
    // A listed scene whose file is not written yet also owns its name.
    if (occupied(target) || listed(scenes, newEntry)) {
        setError(error, "A file with that scene name already exists.");
        return false;
    }
    fs::rename(current, target, ec);
    if (ec) {
        setError(error, "Could not rename scene: " + ec.message());
        return false;
    }

    const std::string previousActive = activeScene;
    *entryIt = newEntry;
    if (activeScene == oldEntry)
        activeScene = newEntry;
    if (!save(error)) {
        // Put the file back so that the manifest on disk, still naming the old file, stays right.
        // Should that fail too, the entries keep following the file to where it now is.
        std::error_code backEc;
        fs::rename(target, current, backEc);
        if (!backEc) {
            *entryIt = oldEntry;
            activeScene = previousActive;
        }
        return false;
    }
    newScenePath = pathToUtf8(target);
    return true;
}

} // namespace orva::io
