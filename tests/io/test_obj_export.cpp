#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "io/file_utils.h"
#include "io/image.h"
#include "io/obj_export.h"
#include "scene/primitives.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using orva::Mesh;
using orva::ObjectType;
using orva::Scene;
using orva::SceneObject;
using orva::io::buildObj;
using orva::io::exportObj;
using orva::io::ExportOptions;
using orva::io::ObjDocument;

namespace {

using ObjExport = orva::test::TempDirTest;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> result;
    for (const std::string& line : lines(text))
        if (line.rfind(prefix, 0) == 0)
            result.push_back(line);
    return result;
}

std::string readText(const std::string& path) {
    std::string out;
    EXPECT_TRUE(orva::io::readFile(path, out)) << path;
    return out;
}

// The eight-corner cube without UVs: every face is flat, so each of its six normals is written once.
Mesh cubeWithoutUVs() {
    Mesh mesh = orva::primitives::makeCube(2.0f);
    for (orva::Face& face : mesh.faces)
        face.uvs.clear();
    return mesh;
}

SceneObject* addMesh(Scene& scene, const std::string& name, Mesh mesh) {
    SceneObject* object = scene.createObject(ObjectType::Mesh, name);
    *object->mesh = std::move(mesh);
    return object;
}

// A tiny parse of what buildObj writes: enough to check geometry, references and winding.
struct ParsedObj {
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs;
    struct Corner {
        int v = 0, vt = 0, vn = 0; // 1-based, 0 when absent
    };
    std::vector<std::vector<Corner>> faces;
};

ParsedObj parseObj(const std::string& text) {
    ParsedObj obj;
    for (const std::string& line : lines(text)) {
        std::istringstream in(line);
        std::string tag;
        in >> tag;
        if (tag == "v") {
            glm::vec3 p;
            in >> p.x >> p.y >> p.z;
            obj.positions.push_back(p);
        } else if (tag == "vn") {
            glm::vec3 n;
            in >> n.x >> n.y >> n.z;
            obj.normals.push_back(n);
        } else if (tag == "vt") {
            glm::vec2 t;
            in >> t.x >> t.y;
            obj.uvs.push_back(t);
        } else if (tag == "f") {
            std::vector<ParsedObj::Corner> face;
            for (std::string token; in >> token;) {
                ParsedObj::Corner c;
                std::sscanf(token.c_str(), "%d/%d/%d", &c.v, &c.vt, &c.vn) == 3 ||
                    std::sscanf(token.c_str(), "%d//%d", &c.v, &c.vn);
                face.push_back(c);
            }
            obj.faces.push_back(face);
        }
    }
    return obj;
}

// Every face's corners run counter-clockwise around the normals it references, and those normals
// point away from `center`: what a renderer needs to light and cull a closed mesh correctly.
void expectOutwardFaces(const ParsedObj& obj, const glm::vec3& center) {
    ASSERT_FALSE(obj.faces.empty());
    for (size_t f = 0; f < obj.faces.size(); ++f) {
        const auto& face = obj.faces[f];
        glm::vec3 newell(0.0f), centroid(0.0f);
        for (size_t i = 0; i < face.size(); ++i) {
            const glm::vec3 p = obj.positions.at(size_t(face[i].v - 1));
            const glm::vec3 q = obj.positions.at(size_t(face[(i + 1) % face.size()].v - 1));
            newell += glm::vec3((p.y - q.y) * (p.z + q.z), (p.z - q.z) * (p.x + q.x), (p.x - q.x) * (p.y + q.y));
            centroid += p;
        }
        centroid /= float(face.size());
        const glm::vec3 n = obj.normals.at(size_t(face[0].vn - 1));
        EXPECT_NEAR(glm::length(n), 1.0f, 1e-5f) << "face " << f;
        EXPECT_GT(glm::dot(newell, n), 0.0f) << "face " << f << " winds against its normal";
        EXPECT_GT(glm::dot(centroid - center, n), 0.0f) << "face " << f << " normal points inwards";
    }
}

} // namespace

// The example of the file format documentation, byte for byte, through the real file writer.
TEST_F(ObjExport, WorkedExampleMatchesGoldenFiles) {
    Scene scene;
    Mesh plane;
    plane.addVertex({-1, 0, -1});
    plane.addVertex({-1, 0, 1});
    plane.addVertex({1, 0, 1});
    plane.addVertex({1, 0, -1});
    plane.addFace({0, 1, 2, 3});
    addMesh(scene, "Plane", std::move(plane))->material = scene.defaultMaterialIndex();

    std::string error;
    int32_t count = -1;
    ASSERT_TRUE(exportObj(scene, path("plane.obj"), ExportOptions{}, &error, &count)) << error;
    EXPECT_EQ(count, 1);
    EXPECT_EQ(readText(path("plane.obj")), readText(ORVA_TEST_DATA_DIR "/obj/plane.obj"));
    EXPECT_EQ(readText(path("plane.mtl")), readText(ORVA_TEST_DATA_DIR "/obj/plane.mtl"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(ObjExport, FlatCubeWithoutMaterialWritesNoMtl) {
    Scene scene;
    addMesh(scene, "Cube", cubeWithoutUVs());
    ASSERT_TRUE(exportObj(scene, path("cube.obj"), ExportOptions{}));
    EXPECT_FALSE(fs::exists(path("cube.mtl")));

    const std::vector<std::string> text = lines(readText(path("cube.obj")));
    ASSERT_EQ(text.size(), 2u + 1 + 8 + 1 + 6 + 6);
    EXPECT_EQ(text[2], "o Cube");
    EXPECT_EQ(text[3], "v -1 -1 -1");
    EXPECT_EQ(text[11], "s off");
    // Each face introduces its own normal just before its f line.
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(text[size_t(12 + 2 * f)].rfind("vn ", 0), 0u) << text[size_t(12 + 2 * f)];
        const std::string& face = text[size_t(13 + 2 * f)];
        EXPECT_EQ(face.rfind("f ", 0), 0u) << face;
        EXPECT_NE(face.find("//" + std::to_string(f + 1) + " "), std::string::npos) << face;
    }
    EXPECT_EQ(text[12], "vn 0 0 1");
    EXPECT_EQ(text[13], "f 5//1 6//1 7//1 8//1");
}

// The second object continues the vertex numbering of the first and reuses its normals.
TEST(ObjBuild, TwoCubesShareNumberingNormalsAndMaterial) {
    Scene scene;
    const int material = scene.defaultMaterialIndex();
    addMesh(scene, "A", cubeWithoutUVs())->material = material;
    SceneObject* b = addMesh(scene, "B", cubeWithoutUVs());
    b->material = material;
    b->transform.position = {5, 0, 0};

    const ObjDocument doc = buildObj(scene, ExportOptions{}, "two.mtl");
    EXPECT_EQ(doc.meshCount, 2);
    EXPECT_EQ(linesStartingWith(doc.objText, "vn ").size(), 6u);
    EXPECT_EQ(linesStartingWith(doc.objText, "newmtl").size(), 0u);
    EXPECT_EQ(linesStartingWith(doc.mtlText, "newmtl ").size(), 1u);
    EXPECT_EQ(linesStartingWith(doc.objText, "usemtl Material").size(), 2u);
    EXPECT_EQ(linesStartingWith(doc.objText, "mtllib two.mtl").size(), 1u);

    const std::vector<std::string> faces = linesStartingWith(doc.objText, "f ");
    ASSERT_EQ(faces.size(), 12u);
    EXPECT_EQ(faces[0], "f 5//1 6//1 7//1 8//1");
    EXPECT_EQ(faces[6], "f 13//1 14//1 15//1 16//1");
    EXPECT_EQ(faces[11], "f 9//6 10//6 14//6 13//6");
    EXPECT_EQ(linesStartingWith(doc.objText, "v ")[8], "v 4 -1 -1");
}

// A negative scale mirrors the geometry: the corners must be written in reverse to keep the faces'
// fronts outside, and the normals (inverse transpose) must still point away from the object.
TEST(ObjBuild, MirroredObjectReversesCornersAndKeepsNormalsOutside) {
    Scene plain;
    addMesh(plain, "Cube", cubeWithoutUVs());
    const std::vector<std::string> plainFaces = linesStartingWith(buildObj(plain, {}, "x.mtl").objText, "f ");

    struct Case {
        const char* label;
        glm::vec3 scale;
        glm::vec3 rotation;
        bool reversed;
    };
    const Case cases[] = {
        {"mirror x", {-1, 1, 1}, {0, 0, 0}, true},
        {"mirror y, stretched", {2, -0.5f, 3}, {0, 0, 0}, true},
        {"mirror twice = rotation", {-1, -1, 1}, {0, 0, 0}, false},
        {"rotated and stretched", {1, 4, 0.5f}, {30, 45, 60}, false},
    };
    for (const Case& c : cases) {
        Scene scene;
        SceneObject* object = addMesh(scene, "Cube", cubeWithoutUVs());
        object->transform.position = {10, 0, 0};
        object->transform.scale = c.scale;
        object->transform.rotationEulerDeg = c.rotation;
        const ObjDocument doc = buildObj(scene, {}, "x.mtl");
        SCOPED_TRACE(c.label);
        expectOutwardFaces(parseObj(doc.objText), {10, 0, 0});

        const std::vector<std::string> faces = linesStartingWith(doc.objText, "f ");
        ASSERT_EQ(faces.size(), plainFaces.size());
        auto vertexOrder = [](const std::string& line) {
            std::vector<int> order;
            const ParsedObj parsed = parseObj(line);
            for (const auto& corner : parsed.faces.at(0))
                order.push_back(corner.v);
            return order;
        };
        std::vector<int> expected = vertexOrder(plainFaces[0]);
        if (c.reversed)
            std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(vertexOrder(faces[0]), expected) << faces[0];
    }
}

// Smooth faces share one normal per vertex; the smoothing state is written only when it changes.
TEST(ObjBuild, SmoothingGroupsAndSharedVertexNormals) {
    Mesh strip;
    for (int i = 0; i <= 4; ++i) {
        strip.addVertex({float(i), 0, 0});
        strip.addVertex({float(i), 0, -1});
    }
    // flat, smooth, smooth, flat; the smooth pair shares the edge 2-3.
    strip.addFace({0, 2, 3, 1}, {}, false);
    strip.addFace({2, 4, 5, 3}, {}, true);
    strip.addFace({4, 6, 7, 5}, {}, true);
    strip.addFace({6, 8, 9, 7}, {}, false);
    Scene scene;
    addMesh(scene, "Strip", std::move(strip));

    const std::vector<std::string> text = lines(buildObj(scene, {}, "x.mtl").objText);
    const std::vector<std::string> tail(text.begin() + 13, text.end());
    const std::vector<std::string> expected = {
        "s off",                  // the object's initial state
        "vn 0 1 0",               //
        "f 1//1 3//1 4//1 2//1",  // flat: the face normal, all +Y
        "s 1",                    //
        "f 3//1 5//1 6//1 4//1",  // smooth normals of a flat strip are +Y too: reused
        "f 5//1 7//1 8//1 6//1",  //
        "s off",                  //
        "f 7//1 9//1 10//1 8//1", //
    };
    EXPECT_EQ(tail, expected);
}

// UVs and normals form file-wide tables: a corner's new vn comes before its new vt, which both come
// before the face's f line; an identical UV or normal anywhere in the file is written once.
TEST(ObjBuild, UvTableIsSharedAndOrderedByFirstUse) {
    Scene scene;
    Mesh quad;
    quad.addVertex({0, 0, 0});
    quad.addVertex({1, 0, 0});
    quad.addVertex({1, 0, -1});
    quad.addFace({0, 1, 2}, {{0, 0}, {1, 0}, {1, 1}});
    Mesh again = quad;
    again.faces[0].uvs = {{1, 1}, {0.5f, 0}, {0, 0}};
    again.addVertex({0, 1, 0});
    again.addFace({0, 1, 3}); // no UVs: v//vn
    addMesh(scene, "First", std::move(quad));
    addMesh(scene, "Second", std::move(again));

    const std::vector<std::string> text = lines(buildObj(scene, {}, "x.mtl").objText);
    const std::vector<std::string> expected = {
        "# Exported by ORVA 3D Studio 0.1.0",
        "# Units: meters, +Y up",
        "o First",
        "v 0 0 0",
        "v 1 0 0",
        "v 1 0 -1",
        "s off",
        "vn 0 1 0",
        "vt 0 0",
        "vt 1 0",
        "vt 1 1",
        "f 1/1/1 2/2/1 3/3/1",
        "o Second",
        "v 0 0 0",
        "v 1 0 0",
        "v 1 0 -1",
        "v 0 1 0",
        "s off",
        "vt 0.5 0",
        "f 4/3/1 5/4/1 6/1/1",
        "vn 0 0 1",
        "f 4//2 5//2 7//2",
    };
    EXPECT_EQ(text, expected);
}

// printf's %.6g: six significant digits, exponent form for very small or large values.
TEST(ObjBuild, NumbersUseSixSignificantDigits) {
    Scene scene;
    Mesh mesh;
    mesh.addVertex({1e-7f, -2.25f, 0.5f});
    mesh.addVertex({123456789.0f, 0.1f, -0.0001f});
    mesh.addVertex({1.0f / 3.0f, 100000.0f, 1000000.0f});
    addMesh(scene, "Numbers", std::move(mesh));
    const std::vector<std::string> v = linesStartingWith(buildObj(scene, {}, "x.mtl").objText, "v ");
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0], "v 1e-07 -2.25 0.5");
    EXPECT_EQ(v[1], "v 1.23457e+08 0.1 -0.0001");
    EXPECT_EQ(v[2], "v 0.333333 100000 1e+06");
}

TEST(ObjBuild, WorldSpaceThroughParentsAndSafeNames) {
    Scene scene;
    SceneObject* parent = scene.createObject(ObjectType::Camera, "Rig");
    parent->transform.position = {1, 0, 0};
    parent->transform.scale = {2, 2, 2};
    Mesh point;
    point.addVertex({1, 0, 0});
    SceneObject* child = addMesh(scene, "My Cube", std::move(point));
    scene.setParent(child->id, parent->id, false);
    child->visible = false; // visibility does not matter for OBJ export
    SceneObject* anonymous = addMesh(scene, "", Mesh());
    anonymous->name.clear();
    anonymous->material = 0;
    scene.materials.push_back(orva::Material{});
    scene.materials[0].name = "Old\tWood Grain\r\n";

    const ObjDocument doc = buildObj(scene, {}, "x.mtl");
    EXPECT_EQ(doc.meshCount, 2);
    EXPECT_EQ(linesStartingWith(doc.objText, "o "), (std::vector<std::string>{"o My_Cube", "o unnamed"}));
    EXPECT_EQ(linesStartingWith(doc.objText, "v "), std::vector<std::string>{"v 3 0 0"});
    EXPECT_EQ(linesStartingWith(doc.objText, "usemtl "), std::vector<std::string>{"usemtl Old_Wood_Grain__"});
    EXPECT_EQ(linesStartingWith(doc.mtlText, "newmtl "), std::vector<std::string>{"newmtl Old_Wood_Grain__"});
}

// Faces the format cannot express are skipped; the object still counts.
TEST(ObjBuild, DegenerateAndDamagedFacesAreSkipped) {
    Scene scene;
    Mesh mesh;
    mesh.addVertex({0, 0, 0});
    mesh.addVertex({1, 0, 0});
    mesh.addVertex({0, 0, -1});
    mesh.addFace({0, 1});    // too few corners
    mesh.addFace({0, 1, 7}); // names a vertex the mesh does not have
    mesh.addFace({0, 0, 0}); // zero area: written, with the +Y fallback normal
    addMesh(scene, "Broken", std::move(mesh));
    const ObjDocument doc = buildObj(scene, {}, "x.mtl");
    EXPECT_EQ(doc.meshCount, 1);
    EXPECT_EQ(linesStartingWith(doc.objText, "f "), std::vector<std::string>{"f 1//1 1//1 1//1"});
    EXPECT_EQ(linesStartingWith(doc.objText, "vn "), std::vector<std::string>{"vn 0 1 0"});

    Scene empty;
    addMesh(empty, "Empty", Mesh());
    const std::vector<std::string> text = lines(buildObj(empty, {}, "x.mtl").objText);
    EXPECT_EQ(text, (std::vector<std::string>{"# Exported by ORVA 3D Studio 0.1.0", "# Units: meters, +Y up", "o Empty",
                                              "s off"}));
}

TEST(ObjBuild, MaterialValuesAndInvalidIndices) {
    Scene scene;
    orva::Material shiny;
    shiny.name = "Shiny";
    shiny.baseColor = {1, 0.25f, 0, 0.5f};
    shiny.metallic = 1;
    shiny.roughness = 0;
    orva::Material rough;
    rough.name = "Rough";
    rough.roughness = 1;
    rough.metallic = 0.5f;
    scene.materials = {shiny, rough, orva::Material{}};
    // Used out of order: the MTL lists materials by index. Material 2 is unused, 7 is invalid.
    addMesh(scene, "A", cubeWithoutUVs())->material = 1;
    addMesh(scene, "B", cubeWithoutUVs())->material = 0;
    addMesh(scene, "C", cubeWithoutUVs())->material = 7;

    const ObjDocument doc = buildObj(scene, {}, "m.mtl");
    EXPECT_EQ(linesStartingWith(doc.objText, "usemtl "), (std::vector<std::string>{"usemtl Rough", "usemtl Shiny"}));
    const std::string expected =
        "# Exported by ORVA 3D Studio 0.1.0\n"
        "\nnewmtl Shiny\nKd 1 0.25 0\nKa 0 0 0\nKs 1 1 1\nNs 1000\nd 0.5\nillum 2\nPr 0\nPm 1\n"
        "\nnewmtl Rough\nKd 0.8 0.8 0.8\nKa 0 0 0\nKs 0.52 0.52 0.52\nNs 0\nd 1\nillum 2\n"
        "Pr 1\nPm 0.5\n";
    EXPECT_EQ(doc.mtlText, expected);

    Scene invalidOnly;
    addMesh(invalidOnly, "C", cubeWithoutUVs())->material = 0; // no materials at all
    const ObjDocument none = buildObj(invalidOnly, {}, "m.mtl");
    EXPECT_TRUE(none.mtlText.empty());
    EXPECT_TRUE(linesStartingWith(none.objText, "mtllib").empty());
    EXPECT_TRUE(linesStartingWith(none.objText, "usemtl").empty());
}

// [SECTION] Textures

namespace {

std::shared_ptr<const orva::TextureData> png(int cells) { return orva::io::makeCheckerTexture(4, cells); }

int addTexturedMaterial(Scene& scene, const std::string& name, int texture) {
    orva::Material m;
    m.name = name;
    m.baseColorTexture = texture;
    scene.materials.push_back(m);
    return int(scene.materials.size() - 1);
}

} // namespace

TEST(ObjBuild, TextureLineForms) {
    struct Case {
        glm::vec2 scale, offset;
        float rotation;
        const char* line;
    };
    const Case cases[] = {
        {{1, 1}, {0, 0}, 0, "map_Kd wood.png"},
        {{1, 1}, {0, 0}, 30, "map_Kd wood.png"}, // rotation has no MTL form
        {{2, 2}, {0, 0}, 0, "map_Kd -o 0 -1 0 -s 2 2 1 wood.png"},
        {{1, 1}, {0.25f, 0.5f}, 0, "map_Kd -o 0.25 -0.5 0 -s 1 1 1 wood.png"},
        {{3, 0.5f}, {0.1f, -0.2f}, 0, "map_Kd -o 0.1 0.7 0 -s 3 0.5 1 wood.png"},
    };
    for (const Case& c : cases) {
        Scene scene;
        const int t = scene.addTexture({"wood.png", png(2), ""});
        const int m = addTexturedMaterial(scene, "Wood", t);
        scene.materials[size_t(m)].uvScale = c.scale;
        scene.materials[size_t(m)].uvOffset = c.offset;
        scene.materials[size_t(m)].uvRotationDeg = c.rotation;
        addMesh(scene, "Cube", orva::primitives::makeCube(1))->material = m;
        const ObjDocument doc = buildObj(scene, {}, "m.mtl");
        EXPECT_EQ(linesStartingWith(doc.mtlText, "map_Kd"), std::vector<std::string>{c.line});
    }
}

TEST_F(ObjExport, TextureFilesAreNamedOnceAndWrittenUnchanged) {
    Scene scene;
    const auto shared = png(2);
    const auto other = png(4); // same name, different image
    const auto photo = orva::makeTextureData("image/jpeg", {0xFF, 0xD8, 0xFF, 0xD9}, 1, 1);
    const int wood = scene.addTexture({"wood.png", shared, ""});
    const int wood2 = scene.addTexture({"textures/wood.png", other, ""});
    const int jpeg = scene.addTexture({"../../My Photo.JPEG", photo, ""});
    const int unnamed = scene.addTexture({"", png(3), ""});
    const int missing = scene.addTexture({"gone.png", nullptr, "gone.png"});
    // Three materials on one image; the image is listed once, under its first name.
    int m = addTexturedMaterial(scene, "M0", wood);
    for (const auto& [name, texture] : std::vector<std::pair<std::string, int>>{
             {"M1", wood2}, {"M2", wood}, {"M3", jpeg}, {"M4", unnamed}, {"M5", missing}, {"M6", wood}})
        addTexturedMaterial(scene, name, texture);
    for (int i = 0; i < 7; ++i)
        addMesh(scene, "Cube", orva::primitives::makeCube(1))->material = m + i;

    ASSERT_TRUE(exportObj(scene, path("scene.obj"), {}));
    const std::vector<std::string> maps = linesStartingWith(readText(path("scene.mtl")), "map_Kd");
    EXPECT_EQ(maps, (std::vector<std::string>{"map_Kd wood.png", "map_Kd wood_1.png", "map_Kd wood.png",
                                              "map_Kd My_Photo.jpg", "map_Kd texture.png", "map_Kd wood.png"}));

    const ObjDocument doc = buildObj(scene, {}, "scene.mtl");
    ASSERT_EQ(doc.textureFiles.size(), 4u);
    EXPECT_EQ(doc.textureFiles[0].second, shared);
    EXPECT_EQ(doc.textureFiles[1].second, other);
    const std::pair<std::string, std::shared_ptr<const orva::TextureData>> written[] = {
        {"wood.png", shared},
        {"wood_1.png", other},
        {"My_Photo.jpg", photo},
        {"texture.png", doc.textureFiles[3].second}};
    for (const auto& [name, data] : written) {
        const std::string bytes = readText(path(name));
        EXPECT_EQ(bytes, std::string(data->bytes.begin(), data->bytes.end())) << name;
    }
    EXPECT_FALSE(fs::exists(path("gone.png")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 6);
}

// [SECTION] Failures

TEST_F(ObjExport, NothingToExportWritesNothing) {
    Scene scene;
    const SceneObject* camera = scene.createObject(ObjectType::Camera, "Camera");
    const SceneObject* cube = addMesh(scene, "Cube", cubeWithoutUVs());

    struct Case {
        ExportOptions options;
        const char* message;
    };
    const Case cases[] = {
        {{true, {camera->id}}, "No mesh objects are selected."},
        {{true, {}}, "No mesh objects are selected."},
        {{true, {999}}, "No mesh objects are selected."},
    };
    for (const Case& c : cases) {
        std::string error;
        int32_t count = -1;
        EXPECT_FALSE(exportObj(scene, path("out.obj"), c.options, &error, &count));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(count, -1);
    }

    Scene noMeshes;
    noMeshes.createObject(ObjectType::Light, "Light");
    std::string error;
    EXPECT_FALSE(exportObj(noMeshes, path("out.obj"), {}, &error));
    EXPECT_EQ(error, "The scene contains no mesh objects.");
    EXPECT_TRUE(fs::is_empty(dir));

    // The selection decides: the cube alone is written.
    int32_t count = 0;
    ASSERT_TRUE(exportObj(scene, path("out.obj"), {true, {camera->id, cube->id}}, &error, &count)) << error;
    EXPECT_EQ(count, 1);
}

TEST_F(ObjExport, WriteFailureReportsTheFileWritersMessage) {
    Scene scene;
    addMesh(scene, "Cube", cubeWithoutUVs());
    const std::string target = path("missing-folder/out.obj");
    std::string error;
    int32_t count = -1;
    EXPECT_FALSE(exportObj(scene, target, {}, &error, &count));
    EXPECT_EQ(error, "Cannot open file for writing: " + target);
    EXPECT_EQ(count, -1);
}
