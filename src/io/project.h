#pragma once

#include <string>
#include <vector>

// A project folder groups the scenes of one game:
//   project.json       the manifest (format "ORVAProject", version 1)
//   Scenes/            the ".orva" scene files, the first one Scenes/Main.orva
//   Assets/Textures/   image files the scenes refer to as "../Assets/Textures/..."
//   Builds/            made later by the web build
// `Project` keeps the folder's root, its scene list and the active scene, and keeps the manifest
// on disk in step with them. It never reads or writes scene contents.
namespace orva::io {

class Project {
public:
    // Absolute, canonical path of the project folder (UTF-8); empty when no project is open.
    std::string root;
    // Path of the active scene relative to `root`, as stored in the manifest (Scenes/Main.orva).
    std::string activeScene;
    // Relative paths of all scenes, in manifest order, without duplicates. Compared byte for byte.
    std::vector<std::string> scenes;

    bool isOpen() const { return !root.empty(); }

    // Makes a project in `directory` (created with its missing parents): the Scenes and
    // Assets/Textures folders, one scene entry Scenes/Main.orva (or "Main 1.orva" and so on when
    // such a file is already there) and the manifest. The scene file itself is left to the caller.
    // Refuses a folder that already holds a project.json. On failure the object is as before.
    bool create(const std::string& directory, std::string* error = nullptr);

    // Loads the project whose folder is `path`, or whose manifest is `path` when its file name is
    // "project.json". Scene entries that are absolute, contain a ".." component, name no file or
    // repeat an earlier entry are skipped; an "activeScene" that is not listed falls back to the
    // first scene. On failure the object is unchanged.
    bool open(const std::string& path, std::string* error = nullptr);

    // Writes the manifest atomically: keys sorted, one tab per level, a trailing newline.
    bool save(std::string* error = nullptr) const;

    // Adds an entry for a new scene named `name` ('*', '/', ':' and '\' become '_'; empty becomes
    // "Scene") under Scenes, choosing "<name> 1.orva", "<name> 2.orva", ... while the file exists
    // or is already listed, makes it active and saves the manifest. `newScenePath` receives the
    // absolute path (UTF-8) where the caller is to write the scene. When the manifest cannot be
    // written, the entry is dropped again and the previous active scene restored.
    bool addScene(const std::string& name, std::string& newScenePath, std::string* error = nullptr);

    // Makes the listed scene at absolute path `scenePath` active and saves the manifest. The path
    // is compared as given (the caller passes a canonical path). On failure the previous active
    // scene is kept.
    bool setActiveScene(const std::string& scenePath, std::string* error = nullptr);

    // Renames the listed scene file at `scenePath` to `newName` in the same folder (".orva" is
    // appended unless the name already ends in it, in any case) and updates the manifest.
    // `newScenePath` receives the new absolute path, or `scenePath` unchanged when the name does
    // not change. When the manifest cannot be written the file is renamed back and the entries
    // restored, so disk and memory still agree; should the file not move back, the entries keep
    // naming it where it now is.
    bool renameScene(const std::string& scenePath, const std::string& newName, std::string& newScenePath,
                     std::string* error = nullptr);
};

} // namespace orva::io
