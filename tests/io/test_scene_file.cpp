#include "io/scene_file.h"

#include "io/file_utils.h"
#include "support/temp_dir.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace orva::io {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

const std::string kData = ORVA_TEST_DATA_DIR "/scene_file/";

std::vector<uint8_t> readBytes(const std::string& path) {
    std::string text;
    EXPECT_TRUE(readFile(path, text)) << path;
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The save time is the only part of the text that changes between runs.
std::string withFixedTime(std::string text) {
    static const std::regex kSaved("\"savedUtc\": \"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z\"");
    EXPECT_TRUE(std::regex_search(text, kSaved)) << "no savedUtc in the pattern %Y-%m-%dT%H:%M:%SZ";
    return std::regex_replace(text, kSaved, "\"savedUtc\": \"2026-03-01T09:05:07Z\"");
}

// Every object type, a textured material with a UV transform, a material whose texture index is
// out of range, a parented camera, a parent id naming no object, escaped and non-ASCII names, and
// a mesh mixing a flat quad and a smooth triangle, both with UVs.
Scene goldenScene() {
    Scene s;
    s.textures.push_back({"checker.png", makeTextureData("image/png", readBytes(kData + "checker_2x2.png"), 2, 2), ""});
    Material painted;
    painted.name = "Painted";
    painted.baseColor = glm::vec4(1.0f, 0.5f, 0.25f, 1.0f);
    painted.metallic = 0.25f;
    painted.roughness = 0.8f;
    painted.baseColorTexture = 0;
    painted.uvScale = glm::vec2(2.0f, 3.0f);
    painted.uvOffset = glm::vec2(0.25f, -0.5f);
    painted.uvRotationDeg = 30.0f;
    s.materials.push_back(painted);
    Material broken;
    broken.name = "Broken link";
    broken.baseColorTexture = 5;
    s.materials.push_back(broken);

    SceneObject* quad = s.createObject(ObjectType::Mesh, "Quad");
    Mesh& m = *quad->mesh;
    m.addVertex({0, 0, 0});
    m.addVertex({1, 0, 0});
    m.addVertex({1, 1, 0});
    m.addVertex({0, 1, 0});
    m.addVertex({0.5f, 1.5f, 0.1f});
    m.addFace({0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, false);
    m.addFace({3, 2, 4}, {{0, 1}, {1, 1}, {0.5f, 1.5f}}, true);
    quad->material = 0;
    quad->transform.position = glm::vec3(1, 2, 3);
    quad->transform.rotationEulerDeg = glm::vec3(10, 20, 30);
    quad->transform.scale = glm::vec3(1, 2, 0.5f);

    SceneObject* camera = s.createObject(ObjectType::Camera, "Camera");
    camera->yfovDeg = 60;
    camera->znear = 0.05f;
    camera->zfar = 500;
    camera->parent = quad->id;
    camera->transform.position = glm::vec3(0, 0, 4);

    SceneObject* light = s.createObject(ObjectType::Light, "Key \"Light\"");
    light->lightType = LightType::Spot;
    light->color = glm::vec3(1, 0.9f, 0.8f);
    light->intensity = 120;
    light->range = 25;
    light->innerConeDeg = 10;
    light->outerConeDeg = 30;
    light->visible = false;

    SceneObject* spawn = s.createObject(ObjectType::SpawnPoint, "Spawn \xC3\x9Cnicode");
    spawn->transform.position = glm::vec3(0, 0, 7);

    SceneObject* bare = s.createObject(ObjectType::Mesh, "Bare");
    bare->parent = 99;
    return s;
}

ProjectViewState goldenView() {
    ProjectViewState v;
    v.target = glm::vec3(1, 2, 3);
    v.distance = 10;
    v.yawDeg = 30;
    v.pitchDeg = 20;
    v.fovDeg = 60;
    v.orthographic = true;
    return v;
}

// After a deliberate format change, ORVA_UPDATE_GOLDEN=1 rewrites the golden file; review its diff.
TEST(SceneFileWriter, MatchesTheGoldenFile) {
    const std::string text = withFixedTime(serializeOrvaProject(goldenScene(), goldenView()));
    if (std::getenv("ORVA_UPDATE_GOLDEN")) {
        ASSERT_TRUE(writeFileAtomic(kData + "golden.orva", text.data(), text.size()));
    }
    std::string golden;
    ASSERT_TRUE(readFile(kData + "golden.orva", golden));
    EXPECT_EQ(text, golden);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '}') << "no line end after the last bracket";
    // The layout is the JSON library's tab-indented printer with sorted keys.
    EXPECT_EQ(json::parse(text).dump(1, '\t'), text);
}

TEST(SceneFileReader, GoldenFileReadsBackToTheSameText) {
    std::string golden;
    ASSERT_TRUE(readFile(kData + "golden.orva", golden));
    ProjectData data;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(deserializeOrvaProject(golden, data, &error, &warnings)) << error;
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(withFixedTime(serializeOrvaProject(data.scene, data.view)), golden);

    const Scene& s = data.scene;
    ASSERT_EQ(s.objects.size(), 5u);
    EXPECT_EQ(s.objects[1]->parent, s.objects[0]->id);
    EXPECT_EQ(s.objects[4]->parent, kInvalidObject) << "a parent naming no object is written as 0";
    EXPECT_EQ(s.objects[2]->name, "Key \"Light\"");
    EXPECT_EQ(s.objects[3]->name, "Spawn \xC3\x9Cnicode");
    EXPECT_EQ(s.nextId, 6u);
    ASSERT_EQ(s.materials.size(), 2u);
    EXPECT_EQ(s.materials[0].baseColorTexture, 0);
    EXPECT_EQ(s.materials[0].uvScale, glm::vec2(2, 3));
    EXPECT_EQ(s.materials[1].baseColorTexture, -1) << "an out-of-range index is not written";
    EXPECT_EQ(s.materials[1].uvScale, glm::vec2(1, 1));
    ASSERT_EQ(s.textures.size(), 1u);
    EXPECT_EQ(s.textures[0].data->bytes, readBytes(kData + "checker_2x2.png"));
    EXPECT_EQ(s.textures[0].data->mimeType, "image/png");
    const Mesh& m = *s.objects[0]->mesh;
    ASSERT_EQ(m.faces.size(), 2u);
    EXPECT_FALSE(m.faces[0].smooth);
    EXPECT_TRUE(m.faces[1].smooth);
    EXPECT_EQ(m.faces[1].indices, (std::vector<uint32_t>{3, 2, 4}));
    EXPECT_EQ(m.faces[1].uvs[2], glm::vec2(0.5f, 1.5f));
    EXPECT_EQ(m.vertices[4].position, glm::vec3(0.5f, 1.5f, 0.1f));
    EXPECT_EQ(data.view.target, glm::vec3(1, 2, 3));
    EXPECT_TRUE(data.view.orthographic);
}

TEST(SceneFileReader, FnvHashOfTheEncodedBytes) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(fnv1a64(abc, 3), 0xe71fa2190541574bull);
    EXPECT_EQ(fnv1a64(nullptr, 0), 0xcbf29ce484222325ull);
    TextureData jpeg{"image/jpeg", {'a', 'b', 'c'}, 1, 1, 0};
    EXPECT_EQ(projectTextureFileName("my photo (1).jpg", jpeg), "my_photo__1__e71fa2190541574b.jpg");
    TextureData png{"image/png", {}, 1, 1, 0};
    EXPECT_EQ(projectTextureFileName("", png), "Texture_cbf29ce484222325.png");
    EXPECT_EQ(projectTextureFileName("caf\xC3\xA9.png", png), "caf___cbf29ce484222325.png");
}

class SceneFileDisk : public test::TempDirTest {
protected:
    // A project folder as the project code makes it: project.json, Scenes, Assets/Textures.
    fs::path makeProject(const std::string& name) {
        const fs::path root = dir / name;
        fs::create_directories(root / "Scenes");
        fs::create_directories(root / "Assets" / "Textures");
        std::FILE* f = std::fopen((root / "project.json").c_str(), "w");
        std::fclose(f);
        return root;
    }
};

TEST_F(SceneFileDisk, SaveLoadSaveGivesIdenticalText) {
    std::string error;
    ASSERT_TRUE(saveOrvaProject(path("a.orva"), goldenScene(), goldenView(), &error)) << error;
    ProjectData data;
    ASSERT_TRUE(loadOrvaProject(path("a.orva"), data, &error)) << error;
    ASSERT_TRUE(saveOrvaProject(path("b.orva"), data.scene, data.view, &error)) << error;
    std::string a, b;
    ASSERT_TRUE(readFile(path("a.orva"), a));
    ASSERT_TRUE(readFile(path("b.orva"), b));
    EXPECT_EQ(withFixedTime(a), withFixedTime(b));
    EXPECT_NE(a.find("\"data\": "), std::string::npos) << "a free-standing file embeds its textures";
    EXPECT_EQ(a.find("\"path\": "), std::string::npos);
}

TEST_F(SceneFileDisk, ProjectSaveWritesTextureFilesAndReadsThemBack) {
    const fs::path project = makeProject("Game");
    Scene scene = goldenScene();
    const std::vector<uint8_t> jpeg = readBytes(kData + "photo_2x2.jpg");
    scene.textures.push_back({"my photo (1).jpg", makeTextureData("image/jpeg", jpeg, 2, 2), ""});
    scene.textures.push_back({"no image", nullptr, ""});

    const std::string file = (project / "Scenes" / "level.orva").string();
    std::string error;
    ASSERT_TRUE(saveOrvaProject(file, scene, goldenView(), &error)) << error;
    const std::string jpegName = projectTextureFileName("my photo (1).jpg", *scene.textures[1].data);
    EXPECT_TRUE(std::regex_match(jpegName, std::regex("my_photo__1__[0-9a-f]{16}\\.jpg"))) << jpegName;
    EXPECT_EQ(readBytes((project / "Assets" / "Textures" / jpegName).string()), jpeg);

    std::string text;
    ASSERT_TRUE(readFile(file, text));
    EXPECT_EQ(text.find("\"data\""), std::string::npos);
    EXPECT_EQ(text.find("\"mimeType\""), std::string::npos);
    EXPECT_NE(text.find("\"path\": \"../Assets/Textures/" + jpegName + "\""), std::string::npos);
    EXPECT_NE(text.find("{\n\t\t\t\"name\": \"no image\"\n\t\t}"), std::string::npos) << "no data: name only";

    ProjectData data;
    std::vector<std::string> warnings;
    ASSERT_TRUE(loadOrvaProject(file, data, &error, &warnings)) << error;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("Texture \"no image\" could not be read: unsupported or damaged image (", 0), 0u);
    ASSERT_EQ(data.scene.textures.size(), 2u);
    EXPECT_EQ(data.scene.textures[1].data->bytes, jpeg);
    EXPECT_EQ(data.scene.textures[1].data->mimeType, "image/jpeg");
    EXPECT_EQ(data.scene.textures[1].path, "../Assets/Textures/" + jpegName);

    // Saving again overwrites the same files: identical bytes, identical names.
    ASSERT_TRUE(saveOrvaProject(file, data.scene, data.view, &error)) << error;
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(project / "Assets" / "Textures"))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 2u);
}

TEST_F(SceneFileDisk, ProjectSaveStopsWhenATextureCannotBeWritten) {
    const fs::path project = makeProject("Game");
    fs::remove_all(project / "Assets");
    const std::string file = (project / "Scenes" / "level.orva").string();
    std::string error;
    EXPECT_FALSE(saveOrvaProject(file, goldenScene(), goldenView(), &error));
    EXPECT_EQ(error.rfind("Cannot open file for writing: ", 0), 0u) << error;
    EXPECT_FALSE(fs::exists(file)) << "the scene file is not written";
}

// Paths that leave the project folder are never read, even when the file exists, also through a
// link inside the project; without "data" such a texture is dropped with a warning and the
// material that used it loses its texture.
TEST_F(SceneFileDisk, TexturePathsLeavingTheProjectAreNotRead) {
    const fs::path project = makeProject("Game");
    fs::create_directories(dir / "elsewhere");
    fs::copy_file(kData + "checker_2x2.png", dir / "elsewhere" / "a.png");
    fs::copy_file(kData + "checker_2x2.png", project / "Assets" / "Textures" / "in.png");
    fs::create_symlink(dir / "elsewhere" / "a.png", project / "Assets" / "Textures" / "link.png");
    const std::string text = R"({"format": "ORVA", "formatVersion": {"major": 1, "minor": 3},
        "textures": [{"name": "out", "path": "../../elsewhere/a.png"},
                     {"name": "abs", "path": ")" +
                             (dir / "elsewhere" / "a.png").string() + R"("},
                     {"name": "link", "path": "../Assets/Textures/link.png"},
                     {"name": "in", "path": "../Assets/Textures/in.png"}],
        "materials": [{"name": "uses out", "baseColorTexture": 0}, {"name": "uses in", "baseColorTexture": 3}]})";
    ProjectData data;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(deserializeOrvaProject(text, data, &error, &warnings, (project / "Scenes").string())) << error;
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0].rfind("Texture \"out\" could not be read: ", 0), 0u) << warnings[0];
    EXPECT_EQ(warnings[1].rfind("Texture \"abs\" could not be read: ", 0), 0u) << warnings[1];
    EXPECT_EQ(warnings[2].rfind("Texture \"link\" could not be read: ", 0), 0u) << warnings[2];
    ASSERT_EQ(data.scene.textures.size(), 1u);
    EXPECT_EQ(data.scene.textures[0].name, "in");
    EXPECT_EQ(data.scene.materials[0].baseColorTexture, -1);
    EXPECT_EQ(data.scene.materials[1].baseColorTexture, 0);

    // Without a base folder, paths are ignored altogether.
    ProjectData noBase;
    ASSERT_TRUE(deserializeOrvaProject(text, noBase, &error));
    EXPECT_TRUE(noBase.scene.textures.empty());
}

std::string doc(const std::string& members) {
    return R"({"format": "ORVA", "formatVersion": {"major": 1, "minor": 3})" +
           (members.empty() ? std::string() : ", " + members) + "}";
}

std::string meshObject(const std::string& mesh, const std::string& extra = "") {
    return R"("objects": [{"id": 1, "type": "mesh", "name": "M", "mesh": )" + mesh + extra + "}]";
}

const std::string kQuadMesh = R"({"positions": [0,0,0, 1,0,0, 1,1,0, 0,1,0], "faceVertexCounts": [4],
                                  "faceVertexIndices": [0,1,2,3])";

struct ReadCase {
    const char* what;
    std::string text;
    std::string error;                 // empty: the read succeeds
    std::vector<std::string> warnings; // a warning ending in "(" is compared as a prefix
};

TEST(SceneFileReader, FatalErrorsAndWarnings) {
    const std::string invalid = "The project file contains invalid data: [json.exception.type_error.";
    const std::string malformed = "The file is not a valid ORVA project (malformed JSON).";
    const std::string newer = "The project was written by a newer ORVA version; newer data will be ignored.";
    const std::vector<ReadCase> cases = {
        {"malformed JSON", R"({"format": "ORVA")", malformed, {}},
        {"top level not an object", "[1, 2]", malformed, {}},
        {"wrong format",
         R"({"format": "ORVB", "formatVersion": {"major": 1}})",
         "The file is not a ORVA project (missing \"format\": \"ORVA\").",
         {}},
        {"no format", "{}", "The file is not a ORVA project (missing \"format\": \"ORVA\").", {}},
        {"format of the wrong type", R"({"format": 1})", invalid + "302] type must be string, but is number", {}},
        {"version 2.0",
         R"({"format": "ORVA", "formatVersion": {"major": 2, "minor": 0}})",
         "Unsupported ORVA format version 2.0 (this build reads version 1.x).",
         {}},
        {"formatVersion a number",
         R"({"format": "ORVA", "formatVersion": 1})",
         "Unsupported ORVA format version 0.0 (this build reads version 1.x).",
         {}},
        {"no formatVersion",
         R"({"format": "ORVA"})",
         "Unsupported ORVA format version 0.0 (this build reads version 1.x).",
         {}},
        {"major as text",
         R"({"format": "ORVA", "formatVersion": {"major": "1"}})",
         invalid + "302] type must be number, but is string",
         {}},
        {"a huge major does not wrap to 1",
         R"({"format": "ORVA", "formatVersion": {"major": 4294967297}})",
         "Unsupported ORVA format version 2147483647.0 (this build reads version 1.x).",
         {}},
        {"minimal file", R"({"format": "ORVA", "formatVersion": {"major": 1}})", "", {}},
        {"newer minor", R"({"format": "ORVA", "formatVersion": {"major": 1, "minor": 4}})", "", {newer}},
        {"duplicate id 7",
         doc(R"("objects": [{"id": 7, "type": "spawn"}, {"id": 7, "type": "camera"}])"),
         "Invalid or duplicate object id 7.",
         {}},
        {"missing id", doc(R"("objects": [{"type": "spawn"}])"), "Invalid or duplicate object id 0.", {}},
        {"negative id", doc(R"("objects": [{"id": -1, "type": "spawn"}])"), "Invalid or duplicate object id -1.", {}},
        {"the last id",
         doc(R"("objects": [{"id": 4294967295, "type": "spawn"}])"),
         "Invalid or duplicate object id 4294967295.",
         {}},
        {"transform null",
         doc(R"("objects": [{"id": 1, "type": "spawn", "transform": null}])"),
         invalid + "306] cannot use value() with null",
         {}},
        {"camera null", doc(R"("objects": [{"id": 1, "type": "camera", "camera": null}])"), "", {}},
        {"light null",
         doc(R"("objects": [{"id": 1, "type": "light", "light": null}])"),
         invalid + "306] cannot use value() with null",
         {}},
        {"viewport a number", doc(R"("viewport": 3)"), invalid + "306] cannot use value() with number", {}},
        {"viewport camera null",
         doc(R"("viewport": {"camera": null})"),
         invalid + "306] cannot use value() with null",
         {}},
        {"materials a number", doc(R"("materials": 5)"), invalid + "306] cannot use value() with number", {}},
        {"baseColor holding text",
         doc(R"("materials": [{"baseColor": [1, 1, "x", 1]}])"),
         invalid + "302] type must be number, but is string",
         {}},
        {"baseColor of 3 keeps the default", doc(R"("materials": [{"baseColor": [1, "x", 1]}])"), "", {}},
        {"uvTransform scale as text",
         doc(R"("materials": [{"uvTransform": {"scale": "big"}}])"),
         invalid + "302] type must be array, but is string",
         {}},
        {"visible as a number",
         doc(R"("objects": [{"id": 1, "type": "spawn", "visible": 1}])"),
         invalid + "302] type must be boolean, but is number",
         {}},
        {"name as a number",
         doc(R"("objects": [{"id": 1, "type": "spawn", "name": 5}])"),
         invalid + "302] type must be string, but is number",
         {}},
        {"positions holding text",
         doc(meshObject(R"({"positions": [1, "x", 3]})")),
         invalid + "302] type must be number, but is string",
         {}},
        {"positions as text",
         doc(meshObject(R"({"positions": "abc"})")),
         invalid + "302] type must be array, but is string",
         {}},
        {"cornerUVs one pair too many",
         doc(meshObject(kQuadMesh + R"(, "cornerUVs": [0,0, 1,0, 1,1, 0,1, 5,5]})")),
         "Object \"M\": mesh cornerUVs length does not match the number of face corners",
         {}},
        {"positions not triples",
         doc(meshObject(R"({"positions": [0, 0, 0, 1]})")),
         "Object \"M\": mesh positions array length is not a multiple of 3",
         {}},
        {"counts and indices disagree",
         doc(meshObject(kQuadMesh.substr(0, kQuadMesh.size() - 1) + ", 0]}")),
         "Object \"M\": mesh face index count does not match faceVertexCounts",
         {}},
        {"counts summing past 32 bits",
         doc(meshObject(R"({"faceVertexCounts": [4294967295, 1]})")),
         "Object \"M\": mesh face index count does not match faceVertexCounts",
         {}},
        {"a face of two corners",
         doc(meshObject(R"({"positions": [0,0,0, 1,0,0], "faceVertexCounts": [2], "faceVertexIndices": [0, 1]})")),
         "Object \"M\": face 0 has fewer than 3 vertices",
         {}},
        {"a missing vertex",
         doc(meshObject(
             R"({"positions": [0,0,0, 1,0,0, 1,1,0], "faceVertexCounts": [3], "faceVertexIndices": [0,1,9]})")),
         "Object \"M\": face 0 references missing vertex 9",
         {}},
        {"a negative index is no vertex",
         doc(meshObject(
             R"({"positions": [0,0,0, 1,0,0, 1,1,0], "faceVertexCounts": [3], "faceVertexIndices": [0,1,-1]})")),
         "Object \"M\": face 0 references missing vertex 4294967295",
         {}},
        {"unknown type",
         doc(R"("objects": [{"id": 1, "type": "robot"}, {"id": 2, "type": "Mesh"}])"),
         "",
         {"Skipped object of unknown type \"robot\".", "Skipped object of unknown type \"Mesh\"."}},
        {"missing material",
         doc(meshObject(kQuadMesh + "}", R"(, "material": 1)")),
         "",
         {"Object \"M\" references a missing material."}},
        {"parent itself or missing",
         doc(R"("objects": [{"id": 3, "type": "spawn", "parent": 3}, {"id": 4, "type": "spawn", "parent": 9}])"),
         "",
         {"Ignored invalid parent link of object 3.", "Ignored invalid parent link of object 4."}},
        {"parent cycle",
         doc(R"("objects": [{"id": 1, "type": "spawn", "parent": 2}, {"id": 2, "type": "spawn", "parent": 1}])"),
         "",
         {"Ignored invalid parent link of object 2."}},
        {"invalid Base64",
         doc(R"("textures": [{"name": "t", "data": "a\tb"}])"),
         "",
         {"Texture \"t\" could not be read: "}},
        {"no image data",
         doc(R"("textures": [{"name": "t"}], "materials": [{"baseColorTexture": 0}])"),
         "",
         {"Texture \"t\" could not be read: unsupported or damaged image ("}},
        {"a single value counts as a list",
         doc(R"("textures": 5)"),
         "",
         {"Texture \"\" could not be read: unsupported or damaged image ("}},
    };

    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectData out;
        out.scene.createObject(ObjectType::Camera, "Sentinel");
        out.view.distance = 3;
        std::string error = "untouched";
        std::vector<std::string> warnings;
        const bool ok = deserializeOrvaProject(c.text, out, &error, &warnings);
        if (c.error.empty()) {
            ASSERT_TRUE(ok) << error;
            EXPECT_EQ(error, "untouched");
            ASSERT_EQ(warnings.size(), c.warnings.size());
            for (size_t i = 0; i < warnings.size(); ++i) {
                if (!c.warnings[i].empty() && c.warnings[i].back() == '(')
                    EXPECT_EQ(warnings[i].rfind(c.warnings[i], 0), 0u) << warnings[i];
                else
                    EXPECT_EQ(warnings[i], c.warnings[i]);
            }
        } else {
            ASSERT_FALSE(ok);
            if (c.error.back() == '.')
                EXPECT_EQ(error, c.error);
            else
                EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
            EXPECT_TRUE(warnings.empty()) << "a failed read reports no warnings";
            ASSERT_EQ(out.scene.objects.size(), 1u) << "a failed read leaves its output untouched";
            EXPECT_EQ(out.scene.objects[0]->name, "Sentinel");
            EXPECT_EQ(out.view.distance, 3.0f);
        }
    }
}

// The list rule, defaults and the lookups that read fallbacks instead of failing.
TEST(SceneFileReader, DefaultsAndLenientShapes) {
    ProjectData data;
    std::string error;
    ASSERT_TRUE(deserializeOrvaProject(R"({"format": "ORVA", "formatVersion": {"major": 1}})", data, &error)) << error;
    EXPECT_TRUE(data.scene.objects.empty());
    EXPECT_EQ(data.view.distance, 12.0f);
    EXPECT_EQ(data.view.yawDeg, 45.0f);
    EXPECT_EQ(data.view.pitchDeg, 28.0f);
    EXPECT_EQ(data.view.fovDeg, 50.0f);
    EXPECT_FALSE(data.view.orthographic);

    const std::string text = doc(R"(
        "materials": {"b": {"name": "second"}, "a": {"name": "first", "metallic": true, "baseColor": null}},
        "objects": [
            {"id": 5, "type": "camera", "camera": null, "name": null},
            {"id": 6, "type": "light", "light": {"type": "area", "color": [1, 0]}},
            {"id": 7, "type": "mesh", "material": -3, "mesh": )" +
                                 kQuadMesh + R"(, "faceSmooth": [1]}},
            {"id": 8, "type": "mesh", "material": 1.9, "transform": {"position": [1, true, 2.5], "scale": [2, 2]}}],
        "viewport": {"camera": {"target": [1, 2], "distance": 4}})");
    ASSERT_TRUE(deserializeOrvaProject(text, data, &error)) << error;
    const Scene& s = data.scene;
    ASSERT_EQ(s.materials.size(), 2u);
    EXPECT_EQ(s.materials[0].name, "first") << "an object list is read in key order";
    EXPECT_EQ(s.materials[0].metallic, 1.0f) << "a boolean reads as a number";
    EXPECT_EQ(s.materials[0].baseColor, glm::vec4(0.8f, 0.8f, 0.8f, 1.0f));
    ASSERT_EQ(s.objects.size(), 4u);
    EXPECT_EQ(s.objects[0]->name, "Object");
    EXPECT_EQ(s.objects[0]->yfovDeg, 50.0f);
    EXPECT_EQ(s.objects[1]->lightType, LightType::Point);
    EXPECT_EQ(s.objects[1]->color, glm::vec3(1, 1, 1));
    EXPECT_EQ(s.objects[2]->material, -3) << "a negative material stays as read";
    EXPECT_EQ(s.objects[2]->mesh->faces.size(), 1u);
    EXPECT_EQ(s.objects[3]->material, 1) << "the fraction is cut off";
    EXPECT_EQ(s.objects[3]->transform.position, glm::vec3(1, 1, 2.5f));
    EXPECT_EQ(s.objects[3]->transform.scale, glm::vec3(1, 1, 1));
    EXPECT_TRUE(s.objects[3]->mesh->faces.empty()) << "without a \"mesh\" key the mesh stays empty";
    EXPECT_EQ(data.view.target, glm::vec3(0, 0, 0));
    EXPECT_EQ(data.view.distance, 4.0f);

    // "faceSmooth" shorter than the face list makes the remaining faces flat.
    const std::string two = doc(meshObject(R"({"positions": [0,0,0, 1,0,0, 1,1,0, 0,1,0],
        "faceVertexCounts": [3, 3], "faceVertexIndices": [0,1,2, 0,2,3], "faceSmooth": [1]})"));
    ASSERT_TRUE(deserializeOrvaProject(two, data, &error)) << error;
    EXPECT_TRUE(data.scene.objects[0]->mesh->faces[0].smooth);
    EXPECT_FALSE(data.scene.objects[0]->mesh->faces[1].smooth);
}

// JSON holds no infinity: a number beyond the float range reads as the largest float, and a
// non-finite float is written as a finite number, so that what is read or edited can always be
// saved and opened again (the library's printer would write null, which no mesh array accepts).
TEST(SceneFileReader, OutOfRangeAndNonFiniteFloatsStayReadable) {
    ProjectData data;
    std::string error;
    ASSERT_TRUE(deserializeOrvaProject(doc(meshObject(R"({"positions": [1e300, -1e39, 0], "faceVertexCounts": [],
        "faceVertexIndices": []})",
                                                      R"(, "transform": {"scale": [1e-50, 2, 3]})")),
                                       data, &error))
        << error;
    const SceneObject& o = *data.scene.objects[0];
    EXPECT_EQ(o.mesh->vertices[0].position, glm::vec3(FLT_MAX, -FLT_MAX, 0));
    EXPECT_EQ(o.transform.scale.x, 0.0f);

    data.scene.objects[0]->transform.position = glm::vec3(INFINITY, -INFINITY, NAN);
    data.scene.objects[0]->mesh->vertices[0].position.y = NAN;
    const std::string text = serializeOrvaProject(data.scene, data.view);
    EXPECT_EQ(text.find("null"), std::string::npos);
    ProjectData back;
    ASSERT_TRUE(deserializeOrvaProject(text, back, &error)) << error;
    EXPECT_EQ(back.scene.objects[0]->transform.position, glm::vec3(FLT_MAX, -FLT_MAX, 0));
    EXPECT_EQ(back.scene.objects[0]->mesh->vertices[0].position, glm::vec3(FLT_MAX, 0, 0));
}

TEST_F(SceneFileDisk, LoadPassesTheFileErrorThrough) {
    ProjectData data;
    std::string error;
    EXPECT_FALSE(loadOrvaProject(path("missing.orva"), data, &error));
    EXPECT_EQ(error, "Cannot open file for reading: " + path("missing.orva"));
}

} // namespace
} // namespace orva::io
