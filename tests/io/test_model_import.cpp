// Model import on real files: Debian's assimp-testmodels and the small hand-made files in
// tests/data/import (see make_fixtures.py there).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/file_utils.h"
#include "io/image.h"
#include "io/model_data.h"
#include "io/model_import.h"
#include "io/model_reader.h"
#include "support/temp_dir.h"

using orva::AABB;
using orva::Scene;
using orva::SceneObject;
using orva::io::importModel;
using orva::io::ImportResult;
using orva::io::isImportableModel;

namespace {

const std::string kModels = ORVA_ASSIMP_MODELS;
const std::string kData = std::string(ORVA_TEST_DATA_DIR) + "/import";

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

struct Imported {
    Scene scene;
    ImportResult result;
    std::string error;
    bool ok = false;
};

Imported importInto(const std::string& path, Scene scene = Scene()) {
    Imported out;
    out.scene = std::move(scene);
    out.ok = importModel(out.scene, path, &out.result, &out.error);
    return out;
}

const SceneObject* byName(const Scene& scene, const std::string& name) {
    for (const auto& o : scene.objects)
        if (o->name == name)
            return o.get();
    return nullptr;
}

// The object's mesh in world space.
AABB worldBounds(const Scene& scene, const SceneObject& object) {
    AABB box;
    const glm::mat4 world = scene.worldMatrix(object.id);
    for (const orva::Vertex& v : object.mesh->vertices) {
        const glm::vec3 p = glm::vec3(world * glm::vec4(v.position, 1.0f));
        box.min = glm::min(box.min, p);
        box.max = glm::max(box.max, p);
    }
    return box;
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

// Every mesh keeps the polygon mesh invariants, and the result matches what was added.
void expectConsistent(const Imported& imported) {
    ASSERT_TRUE(imported.ok) << imported.error;
    const ImportResult& r = imported.result;
    EXPECT_EQ(r.meshObjectCount, int32_t(r.objectIds.size()));
    uint64_t vertices = 0, faces = 0;
    for (uint32_t id : r.objectIds) {
        const SceneObject* o = imported.scene.find(id);
        ASSERT_NE(o, nullptr);
        std::string error;
        EXPECT_TRUE(o->mesh->validate(&error)) << o->name << ": " << error;
        EXPECT_GE(o->material, 0);
        EXPECT_LT(o->material, int32_t(imported.scene.materials.size()));
        vertices += o->mesh->vertices.size();
        faces += o->mesh->faces.size();
    }
    EXPECT_EQ(r.vertexCount, vertices);
    EXPECT_EQ(r.faceCount, faces);
    for (const orva::Material& m : imported.scene.materials)
        EXPECT_LT(m.baseColorTexture, int32_t(imported.scene.textures.size()));
}

// A scene with content of its own, to show that failures leave it exactly as it was.
Scene sceneWithContent() {
    Scene scene;
    scene.defaultMaterialIndex();
    SceneObject* cube = scene.createObject(orva::ObjectType::Mesh, "Cube");
    cube->mesh->addVertex({0, 0, 0});
    cube->mesh->addVertex({1, 0, 0});
    cube->mesh->addVertex({0, 1, 0});
    cube->mesh->addFace({0, 1, 2});
    cube->material = 0;
    cube->transform.position = {1, 2, 3};
    scene.createObject(orva::ObjectType::Light, "Light");
    return scene;
}

void expectUnchanged(const Scene& scene) {
    Scene reference = sceneWithContent();
    ASSERT_EQ(scene.objects.size(), reference.objects.size());
    for (size_t i = 0; i < scene.objects.size(); ++i) {
        EXPECT_EQ(scene.objects[i]->id, reference.objects[i]->id);
        EXPECT_EQ(scene.objects[i]->name, reference.objects[i]->name);
        EXPECT_EQ(scene.objects[i]->transform.position, reference.objects[i]->transform.position);
    }
    EXPECT_EQ(scene.objects[0]->mesh->faces.size(), 1u);
    EXPECT_EQ(scene.materials.size(), reference.materials.size());
    EXPECT_EQ(scene.textures.size(), reference.textures.size());
    EXPECT_EQ(scene.nextId, reference.nextId);
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void writePng(const std::filesystem::path& path, int size) {
    orva::io::RgbaImage image;
    image.width = image.height = size;
    image.pixels.assign(size_t(size) * size * 4, 200);
    std::vector<uint8_t> png;
    ASSERT_TRUE(orva::io::encodePng(image, png));
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
}

class ModelImport : public orva::test::TempDirTest {};

} // namespace

TEST(ModelImportTypes, ImportableByLowerCasedExtension) {
    struct Case {
        const char* path;
        bool importable;
    } cases[] = {
        {"model.fbx", true},      {"model.FBX", true},   {"/a/b/Model.Obj", true},
        {"model.fbx.bak", false}, {"model.gltf", false}, {"model", false},
        {"fbx", false},           {".obj", false},       {"folder.fbx/x", false},
        {"model.fbx ", false},    {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isImportableModel(c.path), c.importable) << c.path;
}

TEST(ModelImportTypes, UnsupportedFileTypeChangesNothing) {
    Scene scene = sceneWithContent();
    std::string error;
    EXPECT_FALSE(importModel(scene, "/tmp/model.gltf", nullptr, &error));
    EXPECT_EQ(error, "Unsupported file type (expected .fbx or .obj): /tmp/model.gltf");
    expectUnchanged(scene);
}

// Five materials with textures beside the model, referenced as ".\name.jpg".
TEST(ModelImportFiles, SpiderObjFindsItsExternalTextures) {
    Imported imported = importInto(kModels + "/OBJ/spider.obj");
    expectConsistent(imported);
    const ImportResult& r = imported.result;
    EXPECT_EQ(r.meshObjectCount, 19);
    EXPECT_EQ(r.faceCount, 1368u);
    EXPECT_EQ(r.materialCount, 4); // the library lists five, one of them unused
    EXPECT_EQ(r.textureCount, 4);
    EXPECT_TRUE(r.warnings.empty()) << r.warnings.front();

    const SceneObject* body = byName(imported.scene, "HLeib01");
    ASSERT_NE(body, nullptr);
    EXPECT_TRUE(body->mesh->hasUVs());
    const orva::Material& material = imported.scene.materials[size_t(body->material)];
    EXPECT_EQ(material.name, "HLeibTex");
    ASSERT_GE(material.baseColorTexture, 0);
    const orva::Texture& texture = imported.scene.textures[size_t(material.baseColorTexture)];
    EXPECT_EQ(texture.name, "SpiderTex.jpg");
    EXPECT_EQ(texture.data->mimeType, "image/jpeg");
    EXPECT_TRUE(texture.path.empty());
    EXPECT_EQ(material.baseColor, glm::vec4(1.0f)); // a found texture makes the colour white
}

// The same spider as FBX: a camera, a light and absolute Windows texture paths that do not exist.
TEST(ModelImportFiles, SpiderFbxWarnsAboutCameraLightAndMissingTextures) {
    Imported imported = importInto(kModels + "/FBX/spider.fbx");
    expectConsistent(imported);
    const ImportResult& r = imported.result;
    EXPECT_EQ(r.meshObjectCount, 19);
    EXPECT_EQ(r.textureCount, 0);
    const std::vector<std::string> expected = {
        "1 camera(s) were not imported.",
        "1 light(s) were not imported.",
        "Texture not found: drkwood2.jpg (put it next to the model file and import again).",
        "Texture not found: wal67ar_small.jpg (put it next to the model file and import again).",
        "Texture not found: engineflare1.jpg (put it next to the model file and import again).",
        "Texture not found: SpiderTex.jpg (put it next to the model file and import again).",
    };
    ASSERT_GE(r.warnings.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(r.warnings.begin(), r.warnings.begin() + 6), expected);

    // Untextured materials keep their colour.
    const SceneObject* body = byName(imported.scene, "HLeib01");
    ASSERT_NE(body, nullptr);
    const orva::Material& material = imported.scene.materials[size_t(body->material)];
    EXPECT_EQ(material.baseColorTexture, -1);
    expectNear(glm::vec3(material.baseColor), {0.690196f, 0.639216f, 0.615686f}, 1e-5f, "base colour");

    // Centimetres with nodes scaled by 100 arrive at the size of the OBJ version.
    Imported obj = importInto(kModels + "/OBJ/spider.obj");
    ASSERT_TRUE(obj.ok);
    const AABB a = worldBounds(imported.scene, *body);
    const AABB b = worldBounds(obj.scene, *byName(obj.scene, "HLeib01"));
    expectNear(a.max - a.min, b.max - b.min, 1e-3f, "spider body size");
}

// An ASCII FBX from 3ds Max: Z up, an embedded PNG, a textured cube whose corners each carry UVs.
TEST(ModelImportFiles, EmbeddedPngBoxArrivesYUpWithItsTextureAndWeldedCorners) {
    Imported imported = importInto(kModels + "/FBX/embedded_ascii/box.FBX");
    expectConsistent(imported);
    ASSERT_EQ(imported.result.meshObjectCount, 1);
    EXPECT_EQ(imported.result.textureCount, 1);
    const SceneObject& box = *imported.scene.objects[0];
    EXPECT_EQ(box.name, "Box001");
    EXPECT_EQ(box.mesh->vertices.size(), 8u); // 24 corners welded back to the cube's 8 corners
    ASSERT_EQ(box.mesh->faces.size(), 6u);
    for (const orva::Face& face : box.mesh->faces) {
        EXPECT_EQ(face.indices.size(), 4u);
        EXPECT_TRUE(face.hasUVs());
    }
    const AABB bounds = worldBounds(imported.scene, box);
    expectNear(bounds.min, {-0.6f, 0.0f, -0.6f}, 1e-3f, "min");
    expectNear(bounds.max, {0.6f, 1.2f, 0.6f}, 1e-3f, "max");

    const orva::Material& material = imported.scene.materials[size_t(box.material)];
    ASSERT_EQ(material.baseColorTexture, 0);
    const orva::Texture& texture = imported.scene.textures[0];
    EXPECT_EQ(texture.name, "uv_test.png");
    EXPECT_EQ(texture.data->mimeType, "image/png");
    EXPECT_GT(texture.data->width, 0);
}

TEST(ModelImportFiles, EmbeddedTgaIsConvertedToPng) {
    Imported imported = importInto(kModels + "/FBX/box_orphant_embedded_texture.fbx");
    expectConsistent(imported);
    ASSERT_EQ(imported.result.textureCount, 1);
    const orva::Texture& texture = imported.scene.textures[0];
    EXPECT_EQ(texture.name, "GridGrey.tga");
    EXPECT_EQ(texture.data->mimeType, "image/png");
    orva::io::RgbaImage image;
    EXPECT_TRUE(orva::io::decodeImage(texture.data->bytes.data(), texture.data->bytes.size(), image));
}

// OBJ starts a new mesh at every "usemtl", even for a material used before: materials 3, 1, 2, 1.
TEST(ModelImportFiles, OneObjectPerMaterialNamedAfterNodeAndMaterial) {
    Imported imported = importInto(kModels + "/OBJ/cube_usemtl.obj");
    expectConsistent(imported);
    const Scene& scene = imported.scene;
    ASSERT_EQ(imported.result.meshObjectCount, 3);
    const SceneObject* first = byName(scene, "cube");
    const SceneObject* second = byName(scene, "cube_mtl");
    const SceneObject* third = byName(scene, "cube_mtl2");
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->parent, orva::kInvalidObject);
    EXPECT_EQ(second->parent, first->id);
    EXPECT_EQ(third->parent, first->id);
    EXPECT_EQ(second->mesh->faces.size(), 6u); // both "mtl" runs in one object
    EXPECT_EQ(imported.result.materialCount, 3);
    // Each object holds exactly the positions its faces use.
    for (const SceneObject* o : {first, second, third}) {
        std::vector<bool> used(o->mesh->vertices.size(), false);
        for (const orva::Face& f : o->mesh->faces)
            for (uint32_t i : f.indices)
                used[i] = true;
        EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool u) { return u; })) << o->name;
    }
}

// Hand-made: a mesh with three materials (one unnamed), a null node between two mesh nodes, an
// FBX geometric translation on the lid, and a hidden knob under the lid.
TEST(ModelImportFiles, HierarchyMaterialsAndGeometricTransforms) {
    Imported imported = importInto(kData + "/two_materials.fbx");
    expectConsistent(imported);
    const Scene& scene = imported.scene;
    std::vector<std::string> names;
    for (uint32_t id : imported.result.objectIds)
        names.push_back(scene.find(id)->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Crate", "Crate_Metal", "Crate_2", "Lid", "Knob"}));

    const SceneObject* crate = byName(scene, "Crate");
    const SceneObject* metalPart = byName(scene, "Crate_Metal");
    const SceneObject* unnamedPart = byName(scene, "Crate_2");
    const SceneObject* lid = byName(scene, "Lid");
    const SceneObject* knob = byName(scene, "Knob");
    ASSERT_TRUE(crate && metalPart && unnamedPart && lid && knob);
    EXPECT_EQ(crate->mesh->faces.size(), 3u);
    EXPECT_EQ(metalPart->parent, crate->id);
    EXPECT_EQ(unnamedPart->parent, crate->id);
    EXPECT_EQ(lid->parent, crate->id); // "Group" has no mesh: the lid moves up to the crate
    EXPECT_EQ(knob->parent, lid->id);

    expectNear(glm::vec3(scene.worldMatrix(crate->id)[3]), {2, 0, 0}, 1e-5f, "crate");
    expectNear(glm::vec3(scene.worldMatrix(lid->id)[3]), {2, 1.5f, 0}, 1e-5f, "lid placement");
    // The geometric translation moved the lid's vertices, not its placement or its children.
    const AABB lidBox = lid->mesh->bounds();
    expectNear(lidBox.min, {-0.5f, 0, -0.25f}, 1e-5f, "lid vertices min");
    expectNear(lidBox.max, {0.5f, 0.1f, 0.75f}, 1e-5f, "lid vertices max");
    expectNear(glm::vec3(scene.worldMatrix(knob->id)[3]), {2, 1.6f, 0}, 1e-5f, "knob placement");

    EXPECT_TRUE(lid->visible);
    EXPECT_FALSE(knob->visible); // "Show" 0

    EXPECT_EQ(imported.result.materialCount, 3);
    EXPECT_EQ(lid->material, crate->material); // shared material converted once
    EXPECT_EQ(knob->material, metalPart->material);
    const orva::Material& wood = scene.materials[size_t(crate->material)];
    const orva::Material& metal = scene.materials[size_t(metalPart->material)];
    const orva::Material& unnamed = scene.materials[size_t(unnamedPart->material)];
    EXPECT_EQ(wood.name, "Wood");
    expectNear(glm::vec3(wood.baseColor), {0.6f, 0.4f, 0.2f}, 1e-6f, "wood colour");
    EXPECT_EQ(wood.baseColor.a, 1.0f);
    EXPECT_EQ(metal.baseColor.a, 0.5f); // opacity becomes alpha
    EXPECT_EQ(unnamed.name, "Material");
}

// The reader spells the pivot out as a chain of helper nodes; they fold into one placement.
TEST(ModelImportFiles, PivotsEndUpInThePlacement) {
    Imported imported = importInto(kData + "/pivot.fbx");
    expectConsistent(imported);
    ASSERT_EQ(imported.result.meshObjectCount, 1);
    const SceneObject& box = *imported.scene.objects[0];
    EXPECT_EQ(box.name, "Box");
    expectNear(box.transform.position, {1, -1, 0}, 1e-5f, "position");
    expectNear(box.transform.rotationEulerDeg, {0, 0, 90}, 1e-3f, "rotation");
    const AABB world = worldBounds(imported.scene, box);
    expectNear(world.min, {0, -1, 0}, 1e-5f, "world min");
    expectNear(world.max, {1, 0, 1}, 1e-5f, "world max");
    EXPECT_EQ(box.mesh->bounds().min, glm::vec3(0.0f)); // the vertices are the file's
}

TEST(ModelImportFiles, NGonsStayOneFace) {
    Imported imported = importInto(kModels + "/OBJ/concave_polygon.obj");
    expectConsistent(imported);
    ASSERT_EQ(imported.result.meshObjectCount, 1);
    const orva::Mesh& mesh = *imported.scene.objects[0]->mesh;
    ASSERT_EQ(mesh.faces.size(), 1u);
    EXPECT_EQ(mesh.faces[0].indices.size(), 66u);
    EXPECT_EQ(mesh.vertices.size(), 64u); // two corners share a position
}

// The same box as FBX (centimetres, Z up) and as OBJ (taken as it is).
TEST(ModelImportFiles, FbxUnitsAndAxesAreConvertedObjIsNot) {
    Imported fbx = importInto(kData + "/zup_cm_box.fbx");
    expectConsistent(fbx);
    ASSERT_EQ(fbx.result.meshObjectCount, 1);
    const SceneObject& box = *fbx.scene.objects[0];
    // The placement stays clean: the unit and the axis swap went into the vertices.
    expectNear(box.transform.position, {1.0f, 0.5f, 0.0f}, 1e-6f, "position");
    expectNear(box.transform.rotationEulerDeg, {0, 0, 0}, 1e-4f, "rotation");
    expectNear(box.transform.scale, {1, 1, 1}, 1e-6f, "scale");
    const AABB local = box.mesh->bounds();
    expectNear(local.min, {-0.6f, 0.0f, -0.6f}, 1e-6f, "fbx min");
    expectNear(local.max, {0.6f, 1.2f, 0.6f}, 1e-6f, "fbx max");

    Imported obj = importInto(kData + "/zup_cm_box.obj");
    expectConsistent(obj);
    const SceneObject& objBox = *obj.scene.objects[0];
    EXPECT_EQ(objBox.transform.position, glm::vec3(0.0f));
    const AABB raw = objBox.mesh->bounds();
    EXPECT_EQ(raw.min, glm::vec3(-60, -60, 0));
    EXPECT_EQ(raw.max, glm::vec3(60, 60, 120));
}

// Left-handed file axes: the mirror must not turn the faces inside out.
TEST(ModelImportFiles, MirroringAxesKeepFacesPointingOutwards) {
    Imported imported = importInto(kData + "/mirrored_axes.fbx");
    expectConsistent(imported);
    const orva::Mesh& mesh = *imported.scene.objects[0]->mesh;
    const AABB box = mesh.bounds();
    expectNear(box.min, {-2, 0, 0}, 1e-6f, "mirrored min");
    const glm::vec3 centre = (box.min + box.max) * 0.5f;
    for (uint32_t f = 0; f < mesh.faces.size(); ++f)
        EXPECT_GT(glm::dot(mesh.faceNormal(f), mesh.faceCenter(f) - centre), 0.0f) << "face " << f;
}

TEST(ModelImportFiles, SkinnedMeshesAndAnimationsAreReported) {
    Imported imported = importInto(kModels + "/FBX/animation_with_skeleton.fbx");
    expectConsistent(imported);
    const std::vector<std::string>& w = imported.result.warnings;
    const std::vector<std::string> expected = {
        "1 camera(s) were not imported.",
        "1 light(s) were not imported.",
        "1 skinned mesh(es) were imported in their rest pose (bones are not supported yet).",
        "Animations were not imported.",
    };
    ASSERT_GE(w.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(w.begin(), w.begin() + 4), expected);
    // Then the reader's own messages, without its prefixes and at most kMaxReaderMessages of them
    // plus one line for the rest.
    EXPECT_EQ(w.size(), 4 + orva::io::kMaxReaderMessages + 1);
    for (size_t i = 4; i < w.size(); ++i) {
        EXPECT_FALSE(startsWith(w[i], "Warn,")) << w[i];
        EXPECT_FALSE(startsWith(w[i], "Error,")) << w[i];
        EXPECT_EQ(w[i].find("FBX-DOM: unsupported, newer format version"), std::string::npos);
    }
    // The skeleton's bone weights alone give dozens of distinct messages.
    EXPECT_NE(w.back().find("more message(s) from the model reader were not shown."), std::string::npos) << w.back();
}

TEST(ModelImportFiles, FlatCubeAndSmoothSphereFromFileNormals) {
    Imported cube = importInto(kData + "/flat_cube.obj");
    expectConsistent(cube);
    for (const orva::Face& f : cube.scene.objects[0]->mesh->faces)
        EXPECT_FALSE(f.smooth);
    EXPECT_EQ(cube.scene.objects[0]->mesh->vertices.size(), 8u);

    Imported sphere = importInto(kData + "/smooth_sphere.obj");
    expectConsistent(sphere);
    for (const orva::Face& f : sphere.scene.objects[0]->mesh->faces)
        EXPECT_TRUE(f.smooth);

    // Without normals in the file every face is flat.
    Imported plain = importInto(kModels + "/OBJ/box.obj");
    expectConsistent(plain);
    for (const orva::Face& f : plain.scene.objects[0]->mesh->faces)
        EXPECT_FALSE(f.smooth);
}

// Objects without a material get the scene's default one, which is not counted as imported.
TEST(ModelImportFiles, ObjectsWithoutMaterialGetTheDefault) {
    Imported empty = importInto(kData + "/flat_cube.obj");
    ASSERT_TRUE(empty.ok) << empty.error;
    EXPECT_EQ(empty.result.materialCount, 0);
    ASSERT_EQ(empty.scene.materials.size(), 1u);
    EXPECT_EQ(empty.scene.materials[0].name, "Material");
    EXPECT_EQ(empty.scene.objects[0]->material, 0);

    Imported existing = importInto(kData + "/two_materials.fbx", sceneWithContent());
    ASSERT_TRUE(existing.ok) << existing.error;
    EXPECT_EQ(existing.scene.materials.size(), 1u + 3u); // appended after the scene's own
    EXPECT_EQ(existing.scene.objects.size(), 2u + 5u);
    EXPECT_EQ(existing.result.objectIds.front(), 3u);
}

TEST(ModelImportFiles, OnlyCamerasAndLightsIsAnErrorAndChangesNothing) {
    Scene scene = sceneWithContent();
    ImportResult result;
    result.meshObjectCount = 42;
    std::string error;
    EXPECT_FALSE(importModel(scene, kData + "/camera_light_only.fbx", &result, &error));
    EXPECT_EQ(error, "camera_light_only.fbx contains no polygon meshes.");
    EXPECT_EQ(result.meshObjectCount, 42); // untouched on failure
    expectUnchanged(scene);

    // An OBJ that loads but holds no faces at all (its text is UTF-16, which the reader skips).
    EXPECT_FALSE(importModel(scene, kModels + "/OBJ/box_UTF16BE.obj", nullptr, &error));
    EXPECT_EQ(error, "box_UTF16BE.obj contains no polygon meshes.");
    expectUnchanged(scene);
    // Only points or lines.
    for (const char* name : {"testline.obj", "testpoints.obj", "point_cloud.obj"}) {
        EXPECT_FALSE(importModel(scene, kModels + "/OBJ/" + name, nullptr, &error));
        EXPECT_EQ(error, std::string(name) + " contains no polygon meshes.");
        expectUnchanged(scene);
    }
}

TEST_F(ModelImport, BrokenFilesFailWithOneClearMessage) {
    writeText(dir / "zero.fbx", "");
    writeText(dir / "garbage.fbx", std::string("Kaydara FBX Binary  \0\x1a\0\xff\xff\xff\xff", 31));
    writeText(dir / "faces.obj", "v 0 0 0\nv 1 0 0\nf 1 2 7\n");
    const std::string cases[] = {
        kModels + "/invalid/empty.obj",
        kModels + "/invalid/malformed.obj",
        kModels + "/FBX/transparentTest.fbx",
        path("zero.fbx"),
        path("garbage.fbx"),
        path("faces.obj"),
        path("missing.obj"),
    };
    for (const std::string& file : cases) {
        Scene scene = sceneWithContent();
        std::string error;
        EXPECT_FALSE(importModel(scene, file, nullptr, &error)) << file;
        EXPECT_TRUE(startsWith(error, "Could not read " + orva::io::fileName(file) + ": ")) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(error.back(), '.') << error;
        expectUnchanged(scene);
    }
}

// This build of the library aborts the process when one of its internal checks fails; such a file
// must fail the import and leave the program (and the scene) alone.
TEST(ModelImportFiles, FileFailingAnInternalCheckOfTheReaderDoesNotCrash) {
    Scene scene = sceneWithContent();
    std::string error;
    EXPECT_FALSE(importModel(scene, kData + "/internal_check.fbx", nullptr, &error));
    EXPECT_TRUE(startsWith(error, "Could not read internal_check.fbx: ")) << error;
    expectUnchanged(scene);

    // Also in this process: the check becomes an error instead of an abort.
    orva::io::ModelData model;
    EXPECT_FALSE(orva::io::readModel(kData + "/internal_check.fbx", model, &error));
    EXPECT_NE(error.find("internal check"), std::string::npos) << error;
}

// MTL beside the model: map_Kd names a file that lives in a "textures" subfolder; the same texture
// used by two materials is loaded once.
TEST_F(ModelImport, TexturesInATexturesSubfolderAreFoundAndShared) {
    writeText(dir / "model.mtl", "newmtl A\nKd 0.5 0.25 0.125\nmap_Kd wood.png\nnewmtl B\nmap_Kd wood.png\n");
    writeText(dir / "model.obj", "mtllib model.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                 "vt 0.25 0.75\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                 "o First\nusemtl A\nf 1/1 2/2 3/3 4/4\no Second\nusemtl B\nf 1/1 2/2 3/3\n");
    std::filesystem::create_directories(dir / "textures");
    writePng(dir / "textures" / "wood.png", 4);

    Imported found = importInto(path("model.obj"));
    expectConsistent(found);
    EXPECT_EQ(found.result.textureCount, 1);
    EXPECT_EQ(found.result.materialCount, 2);
    EXPECT_TRUE(found.result.warnings.empty());
    const orva::Mesh& quad = *byName(found.scene, "First")->mesh;
    ASSERT_EQ(quad.faces.size(), 1u);
    EXPECT_EQ(quad.faces[0].uvs[0], glm::vec2(0.25f, 0.75f)); // per corner, V not flipped
    EXPECT_EQ(found.scene.textures[0].name, "wood.png");

    std::filesystem::remove(dir / "textures" / "wood.png");
    Imported missing = importInto(path("model.obj"));
    expectConsistent(missing);
    EXPECT_EQ(missing.result.textureCount, 0);
    EXPECT_EQ(
        missing.result.warnings,
        std::vector<std::string>{"Texture not found: wood.png (put it next to the model file and import again)."});
    const orva::Material& a = missing.scene.materials[size_t(byName(missing.scene, "First")->material)];
    EXPECT_EQ(a.baseColorTexture, -1);
    EXPECT_EQ(a.baseColor, glm::vec4(0.5f, 0.25f, 0.125f, 1.0f));
}

// An OBJ without a "mtllib" line still finds the material library named like itself.
TEST_F(ModelImport, ObjFindsTheMaterialLibraryNamedLikeItself) {
    writeText(dir / "plain.mtl", "newmtl red\nKd 1 0 0\n");
    writeText(dir / "plain.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl red\nf 1 2 3\n");
    Imported imported = importInto(path("plain.obj"));
    expectConsistent(imported);
    const orva::Material& red = imported.scene.materials[size_t(imported.scene.objects[0]->material)];
    EXPECT_EQ(red.name, "red");
    EXPECT_EQ(red.baseColor, glm::vec4(1, 0, 0, 1));
}

TEST(ModelImportFiles, ResultListsTheCreatedObjectsInOrder) {
    Imported imported = importInto(kModels + "/OBJ/spider.obj", sceneWithContent());
    expectConsistent(imported);
    ASSERT_EQ(imported.result.objectIds.size(), 19u);
    for (size_t i = 0; i < 19; ++i)
        EXPECT_EQ(imported.result.objectIds[i], imported.scene.objects[2 + i]->id);
    EXPECT_EQ(imported.scene.objects[2]->name, "HLeib01");
}
