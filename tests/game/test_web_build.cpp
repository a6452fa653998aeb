#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "document/document.h"
#include "game/web_build.h"
#include "io/file_utils.h"
#include "scene/primitives.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using nlohmann::json;
using orva::ObjectType;
using orva::Scene;
using orva::SceneObject;
using orva::game::buildWebGame;
using orva::game::findPlayerSpawn;
using orva::game::PlayerSpawn;
using orva::game::WebBuildOptions;
using orva::game::WebBuildResult;

namespace {

// Where each runtime file comes from in the source tree (three.js from the npm package).
struct RuntimeSource {
    const char* path;
    const char* source;
};
const RuntimeSource kRuntimeSources[] = {
    {"index.html", "src/resources/web/index.html"},
    {"orva-player.js", "src/resources/web/orva-player.js"},
    {"assets/orva-icon.png", "src/resources/web/assets/orva-icon.png"},
    {"assets/orva-wordmark.png", "src/resources/web/assets/orva-wordmark.png"},
    {"lib/three.module.min.js", "node_modules/three/build/three.module.min.js"},
    {"lib/loaders/GLTFLoader.js", "node_modules/three/examples/jsm/loaders/GLTFLoader.js"},
    {"lib/utils/BufferGeometryUtils.js", "node_modules/three/examples/jsm/utils/BufferGeometryUtils.js"},
    {"lib/THREE_LICENSE.txt", "node_modules/three/LICENSE"},
};

std::string sourceFile(const char* relative) {
    std::string bytes;
    EXPECT_TRUE(orva::io::readFile(std::string(ORVA_PROJECT_SOURCE_DIR) + "/" + relative, bytes)) << relative;
    return bytes;
}

std::string readText(const fs::path& path) {
    std::string text;
    EXPECT_TRUE(orva::io::readFile(path.string(), text)) << path;
    return text;
}

SceneObject* addCube(Scene& scene, const char* name, glm::vec3 position = glm::vec3(0.0f)) {
    SceneObject* cube = scene.createObject(ObjectType::Mesh, name);
    *cube->mesh = orva::primitives::makeCube(1.0f);
    cube->transform.position = position;
    return cube;
}

SceneObject* addSpawn(Scene& scene, const char* name, glm::vec3 position, glm::vec3 rotationDeg = glm::vec3(0.0f)) {
    SceneObject* spawn = scene.createObject(ObjectType::SpawnPoint, name);
    spawn->transform.position = position;
    spawn->transform.rotationEulerDeg = rotationDeg;
    return spawn;
}

size_t countFiles(const fs::path& folder) {
    size_t n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        n += entry.is_regular_file();
    return n;
}

class WebBuild : public orva::test::TempDirTest {};

} // namespace

// The table is the fixed runtime, in writing order, and every entry is the source file's bytes.
TEST(WebRuntimeFiles, TableHoldsTheSourceFilesByteForByte) {
    size_t count = 0;
    const orva::game::RuntimeFile* files = orva::game::webRuntimeFiles(&count);
    ASSERT_EQ(count, std::size(kRuntimeSources));
    for (size_t i = 0; i < count; ++i) {
        EXPECT_STREQ(files[i].path, kRuntimeSources[i].path);
        const std::string expected = sourceFile(kRuntimeSources[i].source);
        ASSERT_EQ(files[i].size, expected.size()) << files[i].path;
        EXPECT_EQ(std::memcmp(files[i].data, expected.data(), expected.size()), 0) << files[i].path;
    }
}

// The default scene: ten files, runtime files identical to their sources (the page with its title
// filled in), and a game.json whose spawn is the scene's Spawn Point.
TEST_F(WebBuild, DefaultSceneBuildsTenFiles) {
    orva::Document document;
    const fs::path out = dir / "nested" / "Game_web";
    WebBuildResult result;
    std::string error;
    ASSERT_TRUE(buildWebGame(document.state.scene, out.string(), WebBuildOptions{"Plain Title"}, &result, &error))
        << error;
    EXPECT_EQ(result.filesWritten, 10);
    EXPECT_EQ(countFiles(out), 10u);
    EXPECT_EQ(result.outputDir, out.string());
    EXPECT_EQ(result.indexPath, (out / "index.html").string());
    EXPECT_TRUE(result.spawn.found);

    for (const RuntimeSource& file : kRuntimeSources) {
        std::string expected = sourceFile(file.source);
        if (std::string(file.path) == "index.html") {
            for (size_t at; (at = expected.find("{{TITLE}}")) != std::string::npos;)
                expected.replace(at, 9, "Plain Title");
        }
        EXPECT_TRUE(readText(out / file.path) == expected) << file.path << " differs from " << file.source;
    }

    std::string glb = readText(out / "scene.glb");
    EXPECT_EQ(glb.substr(0, 4), "glTF");

    const std::string text = readText(out / "game.json");
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(text.substr(0, 17), "{\n  \"generator\": ") << "two-blank indentation";
    const json game = json::parse(text);
    EXPECT_EQ(game["generator"], "ORVA 3D Studio 0.1.0");
    EXPECT_EQ(game["scene"], "scene.glb");
    EXPECT_EQ(game["title"], "Plain Title");
    const json player = {{"eyeHeight", 1.6}, {"gravity", 18.0}, {"height", 1.7},      {"jumpSpeed", 5.5},
                         {"radius", 0.3},    {"runSpeed", 8.0}, {"stepHeight", 0.35}, {"walkSpeed", 4.5}};
    EXPECT_EQ(game["player"], player);
    const json& spawn = game["spawn"];
    ASSERT_EQ(spawn["position"].size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(spawn["position"][i].get<double>(), double(result.spawn.position[i]));
    EXPECT_EQ(spawn["yawDeg"].get<double>(), double(result.spawn.yawDeg));
    EXPECT_EQ(spawn["pitchDeg"].get<double>(), double(result.spawn.pitchDeg));

    // A second build into the same folder replaces every file and leaves no temporary file.
    ASSERT_TRUE(buildWebGame(document.state.scene, out.string(), WebBuildOptions{"Second"}, &result, &error)) << error;
    EXPECT_EQ(countFiles(out), 10u);
    EXPECT_EQ(json::parse(readText(out / "game.json"))["title"], "Second");
}

// The page shows the title in its title element and in the overlay heading, each special
// character as an entity; game.json keeps it as typed. A title holding the placeholder text is
// inserted once, not expanded again.
TEST_F(WebBuild, TitleIsEscapedInBothPlacesOfThePage) {
    Scene scene;
    addCube(scene, "Cube");
    const std::string title = "Tom's \"<Best>\" Game & Co {{TITLE}}";
    const std::string escaped = "Tom&#39;s &quot;&lt;Best&gt;&quot; Game &amp; Co {{TITLE}}";
    std::string error;
    ASSERT_TRUE(buildWebGame(scene, dir.string(), WebBuildOptions{title}, nullptr, &error)) << error;
    const std::string page = readText(dir / "index.html");
    EXPECT_NE(page.find("<title>" + escaped + "</title>"), std::string::npos) << page.substr(0, 400);
    EXPECT_NE(page.find("<h1>" + escaped + "</h1>"), std::string::npos);
    size_t placeholders = 0;
    for (size_t at = page.find("{{TITLE}}"); at != std::string::npos; at = page.find("{{TITLE}}", at + 1))
        ++placeholders;
    EXPECT_EQ(placeholders, 2u) << "only the two copies from the title remain";
    EXPECT_EQ(json::parse(readText(dir / "game.json"))["title"], title);
}

// A title that is not valid UTF-8 (a file name in a foreign encoding) must not fail the build.
TEST_F(WebBuild, InvalidUtf8TitleStillBuilds) {
    Scene scene;
    addCube(scene, "Cube");
    std::string error;
    ASSERT_TRUE(buildWebGame(scene, dir.string(), WebBuildOptions{"Caf\xe9"}, nullptr, &error)) << error;
    EXPECT_EQ(json::parse(readText(dir / "game.json"))["title"], "Caf\xef\xbf\xbd");
    EXPECT_NE(readText(dir / "index.html").find("<title>Caf\xe9</title>"), std::string::npos);
}

TEST(WebBuildSpawn, Rules) {
    struct Case {
        const char* what;
        void (*setup)(Scene&);
        glm::vec3 position;
        float yawDeg;
        float pitchDeg;
        const char* name; // nullptr: no spawn point found
    };
    const Case cases[] = {
        {"empty scene: the default", [](Scene&) {}, {0, 0, 5}, 0, 0, nullptr},
        {"unit cube: in front of it", [](Scene& s) { addCube(s, "Cube"); }, {0, 1.0f, 3.5f}, 0, 0, nullptr},
        {"cube moved: box in world space",
         [](Scene& s) {
             addCube(s, "Cube", {4, 2, -6});
         },
         {4, 3.0f, -2.5f},
         0,
         0,
         nullptr},
        {"hidden cube does not count",
         [](Scene& s) {
             addCube(s, "Cube");
             addCube(s, "Far", {0, 0, 50})->visible = false;
         },
         {0, 1.0f, 3.5f},
         0,
         0,
         nullptr},
        {"unrotated spawn faces -Z",
         [](Scene& s) {
             addSpawn(s, "Start", {1, 0, 2});
         },
         {1, 0, 2},
         0,
         0,
         "Start"},
        {"90 degrees about +Y faces -X",
         [](Scene& s) {
             addSpawn(s, "Start", {0, 0, 0}, {0, 90, 0});
         },
         {0, 0, 0},
         90,
         0,
         "Start"},
        {"tilted up 30 degrees about +X",
         [](Scene& s) {
             addSpawn(s, "Start", {0, 0, 0}, {30, 0, 0});
         },
         {0, 0, 0},
         0,
         30,
         "Start"},
        {"first visible wins, hidden ignored",
         [](Scene& s) {
             addCube(s, "Cube");
             addSpawn(s, "Hidden", {9, 9, 9})->visible = false;
             addSpawn(s, "First", {1, 0, 0});
             addSpawn(s, "Second", {2, 0, 0});
         },
         {1, 0, 0},
         0,
         0,
         "First"},
        {"child of a moved parent: world position",
         [](Scene& s) {
             SceneObject* parent = addCube(s, "Parent", {10, 0, 0});
             parent->transform.rotationEulerDeg = {0, 90, 0};
             s.setParent(addSpawn(s, "Child", {0, 1, 0})->id, parent->id, false);
         },
         {10, 1, 0},
         90,
         0,
         "Child"},
        {"zero scale: yaw and pitch 0",
         [](Scene& s) {
             addSpawn(s, "Flat", {3, 0, 0}, {0, 45, 0})->transform.scale = glm::vec3(0.0f);
         },
         {3, 0, 0},
         0,
         0,
         "Flat"},
    };
    for (const Case& c : cases) {
        Scene scene;
        c.setup(scene);
        const PlayerSpawn spawn = findPlayerSpawn(scene);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(spawn.position[i], c.position[i], 1e-5f) << c.what << " axis " << i;
        EXPECT_NEAR(spawn.yawDeg, c.yawDeg, 1e-3f) << c.what;
        EXPECT_NEAR(spawn.pitchDeg, c.pitchDeg, 1e-3f) << c.what;
        EXPECT_EQ(spawn.found, c.name != nullptr) << c.what;
        EXPECT_EQ(spawn.objectName, c.name ? c.name : "") << c.what;
    }
}

// Nothing visible: refused with the message, and nothing is written, so an earlier build in the
// folder stays as it was.
TEST_F(WebBuild, HiddenOnlySceneIsRefused) {
    Scene scene;
    addCube(scene, "Cube")->visible = false;
    addSpawn(scene, "Start", {0, 0, 0})->visible = false;
    const fs::path out = dir / "game";
    std::string error;
    WebBuildResult result;
    result.filesWritten = -7;
    EXPECT_FALSE(buildWebGame(scene, out.string(), {}, &result, &error));
    EXPECT_EQ(error, "The scene has no visible objects to build.");
    EXPECT_EQ(result.filesWritten, -7) << "the result is left alone on failure";
    EXPECT_FALSE(fs::exists(out));

    Scene empty;
    EXPECT_FALSE(buildWebGame(empty, out.string(), {}, nullptr, &error));
    EXPECT_EQ(error, "The scene has no visible objects to build.");
}

// A file where the folder should be: the folder message, with the system's reason.
TEST_F(WebBuild, FolderThatCannotBeCreated) {
    Scene scene;
    addCube(scene, "Cube");
    ASSERT_TRUE(orva::io::writeFileAtomic(path("taken"), "x", 1));
    const std::string folder = path("taken");
    std::string error;
    EXPECT_FALSE(buildWebGame(scene, folder, {}, nullptr, &error));
    EXPECT_EQ(error.rfind("Cannot create the build folder " + folder + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), ("Cannot create the build folder " + folder + ": ").size());
    EXPECT_EQ(readText(folder), "x");

    const std::string below = path("taken/sub");
    EXPECT_FALSE(buildWebGame(scene, below, {}, nullptr, &error));
    EXPECT_EQ(error.rfind("Cannot create the build folder " + below + ": ", 0), 0u) << error;
}

// A runtime sub-folder blocked by a file: the write's own message ends the build.
TEST_F(WebBuild, FailedWriteEndsTheBuild) {
    Scene scene;
    addCube(scene, "Cube");
    ASSERT_TRUE(orva::io::writeFileAtomic(path("lib"), "x", 1));
    std::string error;
    EXPECT_FALSE(buildWebGame(scene, dir.string(), {}, nullptr, &error));
    EXPECT_NE(error.find("lib/three.module.min.js"), std::string::npos) << error;
    EXPECT_TRUE(fs::exists(dir / "index.html")) << "files written before the failure stay";
    EXPECT_FALSE(fs::exists(dir / "game.json"));
}
