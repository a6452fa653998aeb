#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "io/file_utils.h"
#include "io/project.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using orva::io::Project;
using orva::io::readFile;
using orva::io::writeFileAtomic;

namespace {

std::string contents(const fs::path& path) {
    std::string out;
    EXPECT_TRUE(readFile(path.string(), out)) << path;
    return out;
}

void writeText(const fs::path& path, const std::string& text) {
    ASSERT_TRUE(writeFileAtomic(path.string(), text.data(), text.size())) << path;
}

// The manifest text for these scenes, as the project writes it.
std::string manifestText(const std::string& active, const std::vector<std::string>& scenes) {
    std::string text = "{\n\t\"activeScene\": \"" + active + "\",\n\t\"format\": \"ORVAProject\",\n\t\"scenes\": [";
    for (size_t i = 0; i < scenes.size(); ++i)
        text += std::string(i ? "," : "") + "\n\t\t\"" + scenes[i] + "\"";
    return text + (scenes.empty() ? "]" : "\n\t]") + ",\n\t\"version\": 1\n}\n";
}

// Keeps the manifest from being written: the temporary file it goes through cannot be opened
// where a non-empty folder of that name stands. (Tests run as root, so permissions do not help.)
void blockManifestWrites(const fs::path& root) { fs::create_directories(root / "project.json.tmp" / "keep"); }

class ProjectTest : public orva::test::TempDirTest {
protected:
    // A created project at dir/game with its first scene written, as the editor leaves it.
    Project makeProject() {
        Project project;
        std::string error;
        EXPECT_TRUE(project.create((dir / "game").string(), &error)) << error;
        writeText(scenePath(project, "Scenes/Main.orva"), "{}");
        return project;
    }
    static fs::path scenePath(const Project& project, const std::string& entry) {
        return fs::path(project.root) / entry;
    }

    static void expectSame(const Project& actual, const Project& expected) {
        EXPECT_EQ(actual.root, expected.root);
        EXPECT_EQ(actual.scenes, expected.scenes);
        EXPECT_EQ(actual.activeScene, expected.activeScene);
    }
};

} // namespace

// [SECTION] create

TEST_F(ProjectTest, CreateMakesTheLayoutAndAManifestNamingMain) {
    const fs::path folder = dir / "new" / "game"; // missing parents are created too
    Project project;
    std::string error;
    ASSERT_TRUE(project.create(folder.string(), &error)) << error;

    EXPECT_EQ(project.root, fs::weakly_canonical(folder).string());
    EXPECT_EQ(project.scenes, std::vector<std::string>{"Scenes/Main.orva"});
    EXPECT_EQ(project.activeScene, "Scenes/Main.orva");
    EXPECT_EQ(contents(folder / "project.json"), manifestText("Scenes/Main.orva", {"Scenes/Main.orva"}));
    EXPECT_TRUE(fs::is_empty(folder / "Scenes")); // the caller writes the first scene
    EXPECT_TRUE(fs::is_empty(folder / "Assets" / "Textures"));
    EXPECT_FALSE(fs::exists(folder / "project.json.tmp"));
}

// A second create on the same folder (a manifest of any kind present) must not overwrite it,
// and the object keeps the project it had open.
TEST_F(ProjectTest, CreateRefusesAFolderThatAlreadyHasAManifest) {
    Project first = makeProject();
    const std::string manifest = contents(dir / "game" / "project.json");
    const fs::path manifestFolder = dir / "other" / "project.json";
    fs::create_directories(manifestFolder); // not even a file: still taken

    for (const fs::path& folder : {dir / "game", dir / "other"}) {
        SCOPED_TRACE(folder.string());
        Project project = first;
        std::string error;
        EXPECT_FALSE(project.create(folder.string(), &error));
        EXPECT_EQ(error, "A ORVA project already exists in this folder.");
        expectSame(project, first);
    }
    EXPECT_EQ(contents(dir / "game" / "project.json"), manifest);
    EXPECT_TRUE(fs::is_directory(manifestFolder));
    EXPECT_FALSE(fs::exists(dir / "other" / "Scenes"));
}

TEST_F(ProjectTest, CreateReportsFoldersItCannotMakeAndKeepsTheOpenProject) {
    struct Case {
        const char* blocker; // a plain file where a folder has to go
        const char* messagePrefix;
    };
    const Case cases[] = {
        {"Scenes", "Cannot create project directory: "},
        {"Assets", "Cannot create project asset directories: "},
        {"Assets/Textures", "Cannot create project asset directories: "},
    };
    const Project first = makeProject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocker);
        const fs::path folder = dir / ("blocked_" + std::to_string(&c - cases));
        fs::create_directories((folder / c.blocker).parent_path());
        writeText(folder / c.blocker, "x");

        Project project = first;
        std::string error;
        EXPECT_FALSE(project.create(folder.string(), &error));
        EXPECT_EQ(error.rfind(c.messagePrefix, 0), 0u) << error;
        EXPECT_GT(error.size(), std::string(c.messagePrefix).size()) << "system message missing";
        expectSame(project, first);
        EXPECT_FALSE(fs::exists(folder / "project.json"));
    }
}

TEST_F(ProjectTest, CreateWhoseManifestCannotBeWrittenKeepsTheOpenProject) {
    const Project first = makeProject();
    const fs::path folder = dir / "unwritable";
    blockManifestWrites(folder);

    Project project = first;
    std::string error;
    EXPECT_FALSE(project.create(folder.string(), &error));
    EXPECT_EQ(error, "Cannot open file for writing: " + (fs::weakly_canonical(folder) / "project.json").string());
    expectSame(project, first);
    EXPECT_FALSE(fs::exists(folder / "project.json"));
}

// [SECTION] addScene

TEST_F(ProjectTest, AddSceneSanitisesNamesAndCountsPastTakenOnes) {
    struct Case {
        const char* name;
        bool writeScene; // whether the caller writes the scene file before the next add
        const char* entry;
    };
    const Case cases[] = {
        {"Level/1", true, "Scenes/Level_1.orva"},
        {"a*b:c\\d", true, "Scenes/a_b_c_d.orva"},
        {"", true, "Scenes/Scene.orva"},
        {"Main", true, "Scenes/Main 1.orva"},
        {"Main", true, "Scenes/Main 2.orva"},
        // A listed scene whose file was never written still owns its name.
        {"Next", false, "Scenes/Next.orva"},
        {"Next", false, "Scenes/Next 1.orva"},
        {"Next", true, "Scenes/Next 2.orva"},
    };
    Project project = makeProject();
    std::vector<std::string> expected = project.scenes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string newPath, error;
        ASSERT_TRUE(project.addScene(c.name, newPath, &error)) << error;
        expected.push_back(c.entry);
        EXPECT_EQ(newPath, scenePath(project, c.entry).string());
        EXPECT_EQ(project.scenes, expected);
        EXPECT_EQ(project.activeScene, c.entry);
        EXPECT_EQ(contents(fs::path(project.root) / "project.json"), manifestText(c.entry, expected));
        if (c.writeScene)
            writeText(newPath, "{}");
    }
}

TEST_F(ProjectTest, AddSceneFailuresLeaveTheProjectAsItWas) {
    Project closed;
    std::string newPath = "untouched", error;
    EXPECT_FALSE(closed.addScene("Level", newPath, &error));
    EXPECT_EQ(error, "No project is open.");
    EXPECT_EQ(newPath, "untouched");

    Project project = makeProject();
    const Project before = project;
    const std::string manifest = contents(fs::path(project.root) / "project.json");
    blockManifestWrites(project.root);
    EXPECT_FALSE(project.addScene("Level", newPath, &error));
    EXPECT_EQ(error, "Cannot open file for writing: " + project.root + "/project.json");
    EXPECT_EQ(newPath, "untouched");
    expectSame(project, before);
    EXPECT_EQ(contents(fs::path(project.root) / "project.json"), manifest);
}

// [SECTION] open

TEST_F(ProjectTest, OpenByFolderOrManifestPathGivesTheSameProject) {
    Project created = makeProject();
    std::string newPath;
    ASSERT_TRUE(created.addScene("Level", newPath));
    ASSERT_TRUE(created.setActiveScene(scenePath(created, "Scenes/Main.orva").string()));

    const fs::path folder = dir / "game";
    for (const fs::path& path :
         {folder, folder / "project.json", dir / "." / "game" / "", fs::path(dir / "game" / "Scenes" / "..")}) {
        SCOPED_TRACE(path.string());
        Project opened;
        std::string error;
        ASSERT_TRUE(opened.open(path.string(), &error)) << error;
        expectSame(opened, created);
    }
}

TEST_F(ProjectTest, OpenKeepsOnlyUsableSceneEntries) {
    struct Case {
        const char* label;
        std::string manifest;
        std::vector<std::string> scenes; // empty: the open must fail with "no scenes"
        std::string active;
    };
    const auto manifest = [](const std::string& active, const std::string& scenes) {
        return R"({"format": "ORVAProject", "version": 7, "activeScene": ")" + active + R"(", "scenes": [)" + scenes +
               "]}";
    };
    const Case cases[] = {
        {"absolute and parent entries skipped",
         manifest("Scenes/B.orva", R"("/etc/passwd", "../outside.orva", "Scenes/../../x.orva", "Scenes/B.orva")"),
         {"Scenes/B.orva"},
         "Scenes/B.orva"},
        {"nothing usable", manifest("/abs.orva", R"("/abs.orva", "../up.orva", "Scenes/../../x.orva")"), {}, ""},
        {"empty list", manifest("", ""), {}, ""},
        {"entries naming no file skipped", manifest("", R"("", ".", "Scenes/", "Scenes/.")"), {}, ""},
        {"unknown active scene falls back to the first",
         manifest("Scenes/Gone.orva", R"("Scenes/A.orva", "Scenes/B.orva")"),
         {"Scenes/A.orva", "Scenes/B.orva"},
         "Scenes/A.orva"},
        {"missing active scene falls back to the first",
         R"({"format": "ORVAProject", "scenes": ["Scenes/A.orva"]})",
         {"Scenes/A.orva"},
         "Scenes/A.orva"},
        {"entries normalised and repeats dropped",
         manifest("Scenes/./B.orva", R"("Scenes//A.orva", "./Scenes/B.orva", "Scenes/A.orva")"),
         {"Scenes/A.orva", "Scenes/B.orva"},
         "Scenes/B.orva"},
        {"dots inside a file name are not a parent folder",
         manifest("", R"("Scenes/a..b.orva", "Scenes/..orva")"),
         {"Scenes/a..b.orva", "Scenes/..orva"},
         "Scenes/a..b.orva"},
    };
    const Project first = makeProject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const fs::path folder = dir / ("case_" + std::to_string(&c - cases));
        fs::create_directories(folder);
        writeText(folder / "project.json", c.manifest);

        Project project = first;
        std::string error;
        const bool ok = project.open(folder.string(), &error);
        if (c.scenes.empty()) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(error, "The project contains no scenes.");
            expectSame(project, first);
            continue;
        }
        ASSERT_TRUE(ok) << error;
        EXPECT_EQ(project.root, fs::weakly_canonical(folder).string());
        EXPECT_EQ(project.scenes, c.scenes);
        EXPECT_EQ(project.activeScene, c.active);
        EXPECT_EQ(contents(folder / "project.json"), c.manifest) << "opening must not rewrite the manifest";
    }
}

TEST_F(ProjectTest, MalformedManifestsGiveOneClearMessageAndChangeNothing) {
    struct Case {
        const char* text; // null: no manifest; "<dir>": a folder named project.json
        std::string expected;
        bool prefixOnly;
    };
    const std::string invalid = "Invalid project manifest: [json.exception.";
    const std::string notProject = "The selected folder is not a ORVA project.";
    const Case cases[] = {
        {"", invalid + "parse_error", true},
        {"{\"format\": \"ORVAProject\", \"scenes\": [", invalid + "parse_error", true},
        {"{\"format\": \"ORVAProject\", \"scenes\": [\"Scenes/\xff.orva\"]}", invalid + "parse_error", true},
        {"[\"Scenes/Main.orva\"]", invalid + "type_error", true},
        {"{\"format\": \"ORVAProject\"}", invalid + "out_of_range", true},
        {"{\"format\": \"ORVAProject\", \"scenes\": \"Scenes/Main.orva\"}", invalid + "type_error", true},
        {"{\"format\": \"ORVAProject\", \"scenes\": [\"Scenes/Main.orva\", 3]}", invalid + "type_error", true},
        {"{\"format\": 1, \"scenes\": [\"Scenes/Main.orva\"]}", invalid + "type_error", true},
        {"{\"format\": \"ORVAProject\", \"scenes\": [\"Scenes/Main.orva\"], \"activeScene\": null}",
         invalid + "type_error", true},
        {"{\"format\": \"ORVA\", \"scenes\": [\"Scenes/Main.orva\"]}", notProject, false},
        {"{\"scenes\": [\"Scenes/Main.orva\"]}", notProject, false},
        {nullptr, "Cannot open file for reading: ", false},
        {"<dir>", "Cannot open file for reading: ", false},
    };
    const Project first = makeProject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(no manifest)");
        const fs::path folder = dir / ("case_" + std::to_string(&c - cases));
        fs::create_directories(folder);
        std::string expected = c.expected;
        if (!c.text || std::string(c.text) == "<dir>") {
            expected += (folder / "project.json").string();
            if (c.text)
                fs::create_directories(folder / "project.json");
        } else {
            writeText(folder / "project.json", c.text);
        }

        Project project = first;
        std::string error;
        EXPECT_FALSE(project.open(folder.string(), &error));
        if (c.prefixOnly)
            EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
        else
            EXPECT_EQ(error, expected);
        expectSame(project, first);
    }
}

// [SECTION] setActiveScene

TEST_F(ProjectTest, SetActiveSceneSwitchesOnlyToListedScenes) {
    Project project = makeProject();
    std::string newPath, error;
    ASSERT_TRUE(project.addScene("Level", newPath));
    ASSERT_TRUE(project.setActiveScene(scenePath(project, "Scenes/Main.orva").string(), &error)) << error;
    EXPECT_EQ(project.activeScene, "Scenes/Main.orva");
    EXPECT_EQ(contents(fs::path(project.root) / "project.json"),
              manifestText("Scenes/Main.orva", {"Scenes/Main.orva", "Scenes/Level.orva"}));

    for (const fs::path& outside : {scenePath(project, "Scenes/Other.orva"), dir / "Main.orva",
                                    scenePath(project, "Main.orva"), fs::path("Scenes/Level.orva")}) {
        SCOPED_TRACE(outside.string());
        EXPECT_FALSE(project.setActiveScene(outside.string(), &error));
        EXPECT_EQ(error, "Scene is not part of this project.");
        EXPECT_EQ(project.activeScene, "Scenes/Main.orva");
    }

    blockManifestWrites(project.root);
    EXPECT_FALSE(project.setActiveScene(newPath, &error));
    EXPECT_EQ(error, "Cannot open file for writing: " + project.root + "/project.json");
    EXPECT_EQ(project.activeScene, "Scenes/Main.orva");

    Project closed;
    EXPECT_FALSE(closed.setActiveScene(newPath, &error));
    EXPECT_EQ(error, "No project is open.");
}

// [SECTION] renameScene

TEST_F(ProjectTest, RenameSceneMovesTheFileAndTheEntry) {
    struct Case {
        const char* scene; // entry to rename
        const char* newName;
        const char* entry; // the entry afterwards
    };
    const Case cases[] = {
        {"Scenes/Main.orva", "Intro", "Scenes/Intro.orva"},
        {"Scenes/Main.orva", "Intro.ORVA", "Scenes/Intro.ORVA"}, // extension test ignores case
        {"Scenes/Main.orva", "Intro.txt", "Scenes/Intro.txt.orva"},
        {"Scenes/Main.orva", "My level 2", "Scenes/My level 2.orva"},
        {"Scenes/Level.orva", "Boss", "Scenes/Boss.orva"}, // not the active scene: active stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newName);
        fs::remove_all(dir / "game");
        Project project = makeProject();
        std::string newPath, error;
        ASSERT_TRUE(project.addScene("Level", newPath));
        writeText(newPath, "level");
        ASSERT_TRUE(project.setActiveScene(scenePath(project, "Scenes/Main.orva").string()));
        const std::string content = contents(scenePath(project, c.scene));

        ASSERT_TRUE(project.renameScene(scenePath(project, c.scene).string(), c.newName, newPath, &error)) << error;
        EXPECT_EQ(newPath, scenePath(project, c.entry).string());
        EXPECT_FALSE(fs::exists(scenePath(project, c.scene)));
        EXPECT_EQ(contents(newPath), content);

        std::vector<std::string> scenes = {"Scenes/Main.orva", "Scenes/Level.orva"};
        std::replace(scenes.begin(), scenes.end(), std::string(c.scene), std::string(c.entry));
        const std::string active = c.scene == std::string("Scenes/Main.orva") ? c.entry : "Scenes/Main.orva";
        EXPECT_EQ(project.scenes, scenes);
        EXPECT_EQ(project.activeScene, active);
        EXPECT_EQ(contents(fs::path(project.root) / "project.json"), manifestText(active, scenes));
    }
}

// The scene path may arrive in a non-canonical spelling; the result is still the same file.
TEST_F(ProjectTest, RenameSceneToItsOwnNameTouchesNothing) {
    Project project = makeProject();
    const std::string manifest = contents(fs::path(project.root) / "project.json");
    const fs::file_time_type stamp = fs::last_write_time(fs::path(project.root) / "project.json");
    const std::string given = (fs::path(project.root) / "Scenes" / "." / "Main.orva").string();
    for (const char* name : {"Main", "Main.orva"}) {
        SCOPED_TRACE(name);
        std::string newPath, error;
        ASSERT_TRUE(project.renameScene(given, name, newPath, &error)) << error;
        EXPECT_EQ(newPath, given);
        EXPECT_EQ(project.scenes, std::vector<std::string>{"Scenes/Main.orva"});
        EXPECT_TRUE(fs::exists(scenePath(project, "Scenes/Main.orva")));
    }
    EXPECT_EQ(contents(fs::path(project.root) / "project.json"), manifest);
    EXPECT_EQ(fs::last_write_time(fs::path(project.root) / "project.json"), stamp);
}

TEST_F(ProjectTest, RenameSceneRefusalsLeaveDiskAndProjectAlone) {
    struct Case {
        std::string scene; // relative to the root
        const char* newName;
        std::string expected;
    };
    const std::string badName = "Enter a scene name without a folder path.";
    const std::string taken = "A file with that scene name already exists.";
    const Case cases[] = {
        {"Scenes/Main.orva", "sub/Intro", badName},
        {"Scenes/Main.orva", "Intro/", badName},
        {"Scenes/Main.orva", "/Intro", badName},
        {"Scenes/Main.orva", "", badName},
        {"Scenes/Main.orva", ".", badName},
        {"Scenes/Main.orva", "..", badName},
        {"Scenes/Main.orva", "Loose", taken},  // an unlisted file of that name
        {"Scenes/Main.orva", "Level", taken},  // a listed scene whose file is not written yet
        {"Scenes/Main.orva", "Folder", taken}, // a folder of that name
        {"Scenes/Loose.orva", "Intro", "Scene is not part of this project."},
        {"Main.orva", "Intro", "Scene is not part of this project."},
        {"../elsewhere.orva", "Intro", "Scene is not part of this project."},
        {"Scenes/Level.orva", "Intro", "Could not rename scene: No such file or directory"},
        {"Scenes/" + std::string(300, 'x') + "/Main.orva", "Intro", "Could not resolve scene path: File name too long"},
    };
    Project project = makeProject();
    std::string newPath;
    ASSERT_TRUE(project.addScene("Level", newPath)); // listed, never written
    ASSERT_TRUE(project.setActiveScene(scenePath(project, "Scenes/Main.orva").string()));
    writeText(scenePath(project, "Scenes/Loose.orva"), "loose");
    fs::create_directories(scenePath(project, "Scenes/Folder.orva"));
    const Project before = project;
    const std::string manifest = contents(fs::path(project.root) / "project.json");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.scene + " -> " + c.newName);
        std::string out = "untouched", error;
        EXPECT_FALSE(project.renameScene(scenePath(project, c.scene).string(), c.newName, out, &error));
        EXPECT_EQ(error, c.expected);
        EXPECT_EQ(out, "untouched");
        expectSame(project, before);
    }
    EXPECT_EQ(contents(scenePath(project, "Scenes/Main.orva")), "{}");
    EXPECT_EQ(contents(scenePath(project, "Scenes/Loose.orva")), "loose");
    EXPECT_EQ(contents(fs::path(project.root) / "project.json"), manifest);

    Project closed;
    std::string error;
    EXPECT_FALSE(closed.renameScene(scenePath(project, "Scenes/Main.orva").string(), "Intro", newPath, &error));
    EXPECT_EQ(error, "No project is open.");
}

// The file is renamed before the manifest is written; when that write fails the file must go
// back, or the manifest on disk would name a file that no longer exists.
TEST_F(ProjectTest, RenameSceneRollsBackWhenTheManifestCannotBeWritten) {
    Project project = makeProject();
    const Project before = project;
    const fs::path manifestPath = fs::path(project.root) / "project.json";
    const std::string manifest = contents(manifestPath);
    blockManifestWrites(project.root);

    std::string newPath = "untouched", error;
    EXPECT_FALSE(project.renameScene(scenePath(project, "Scenes/Main.orva").string(), "Intro", newPath, &error));
    EXPECT_EQ(error, "Cannot open file for writing: " + manifestPath.string());
    EXPECT_EQ(newPath, "untouched");
    expectSame(project, before);
    EXPECT_EQ(contents(scenePath(project, "Scenes/Main.orva")), "{}");
    EXPECT_FALSE(fs::exists(scenePath(project, "Scenes/Intro.orva")));
    EXPECT_EQ(contents(manifestPath), manifest);

    // Once the manifest can be written again the same rename goes through.
    fs::remove_all(fs::path(project.root) / "project.json.tmp");
    ASSERT_TRUE(project.renameScene(scenePath(project, "Scenes/Main.orva").string(), "Intro", newPath, &error))
        << error;
    EXPECT_EQ(contents(manifestPath), manifestText("Scenes/Intro.orva", {"Scenes/Intro.orva"}));
}
