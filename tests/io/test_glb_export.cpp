#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <nlohmann/json.hpp>

#include "io/file_utils.h"
#include "io/glb_export.h"
#include "io/image.h"
#include "scene/primitives.h"
#include "support/glb_inspect.h"
#include "support/temp_dir.h"

// Every GLB written here goes through the Khronos glTF validator and three.js's GLTFLoader
// (tests/js/inspect_glb.mjs); the container and the JSON are also read back directly to check what
// the validator does not see: chunk padding, exact bytes, the choices made for the content.

namespace fs = std::filesystem;
using nlohmann::json;
using orva::Mesh;
using orva::ObjectType;
using orva::Scene;
using orva::SceneObject;
using orva::io::buildGlb;
using orva::io::exportGlb;
using orva::io::ExportOptions;

namespace {

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// A GLB read back, with the container's rules checked on the way.
struct Glb {
    json gltf;
    std::string jsonChunk;
    std::vector<uint8_t> bin; // padded binary chunk; empty when there is none
    size_t totalLength = 0;

    // The bytes of a buffer view.
    std::vector<uint8_t> view(size_t index) const {
        const json& v = gltf.at("bufferViews").at(index);
        const size_t offset = v.value("byteOffset", size_t(0));
        const size_t length = v.at("byteLength").get<size_t>();
        return std::vector<uint8_t>(bin.begin() + std::ptrdiff_t(offset),
                                    bin.begin() + std::ptrdiff_t(offset + length));
    }
    template <class T> std::vector<T> accessor(size_t index) const {
        const json& a = gltf.at("accessors").at(index);
        const std::vector<uint8_t> bytes = view(a.at("bufferView").get<size_t>());
        std::vector<T> out(bytes.size() / sizeof(T));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(T));
        return out;
    }
};

Glb readGlb(const std::vector<uint8_t>& bytes) {
    Glb glb;
    EXPECT_GE(bytes.size(), 20u);
    if (bytes.size() < 20)
        return glb;
    EXPECT_EQ(u32(bytes, 0), 0x46546C67u);
    EXPECT_EQ(u32(bytes, 4), 2u);
    glb.totalLength = u32(bytes, 8);
    EXPECT_EQ(glb.totalLength, bytes.size());
    const size_t jsonLength = u32(bytes, 12);
    EXPECT_EQ(jsonLength % 4, 0u);
    EXPECT_EQ(u32(bytes, 16), 0x4E4F534Au);
    glb.jsonChunk.assign(bytes.begin() + 20, bytes.begin() + 20 + std::ptrdiff_t(jsonLength));
    // Padding after the JSON text is spaces only.
    const size_t end = glb.jsonChunk.find_last_not_of(' ');
    EXPECT_LT(glb.jsonChunk.size() - (end + 1), 4u);
    glb.gltf = json::parse(glb.jsonChunk);
    const size_t binAt = 20 + jsonLength;
    if (binAt < bytes.size()) {
        const size_t binLength = u32(bytes, binAt);
        EXPECT_EQ(binLength % 4, 0u);
        EXPECT_EQ(u32(bytes, binAt + 4), 0x004E4942u);
        EXPECT_EQ(binAt + 8 + binLength, bytes.size());
        glb.bin.assign(bytes.begin() + std::ptrdiff_t(binAt + 8), bytes.end());
        const size_t used = glb.gltf.at("buffers").at(0).at("byteLength").get<size_t>();
        EXPECT_LE(used, glb.bin.size());
        EXPECT_GT(used + 4, glb.bin.size()) << "the binary chunk pads by fewer than 4 bytes";
        for (size_t i = used; i < glb.bin.size(); ++i)
            EXPECT_EQ(glb.bin[i], 0) << "binary padding byte " << i;
        for (const json& v : glb.gltf.at("bufferViews"))
            EXPECT_EQ(v.value("byteOffset", 0) % 4, 0) << v.dump();
    }
    return glb;
}

// Mirrors tests/js/inspect_glb.mjs's node description into a matrix: T * R * S.
glm::mat4 trs(const json& node) {
    const json& p = node.at("position");
    const json& q = node.at("quaternion");
    const json& s = node.at("scale");
    const glm::quat rotation(q[3].get<float>(), q[0].get<float>(), q[1].get<float>(), q[2].get<float>());
    return glm::translate(glm::mat4(1.0f), glm::vec3(p[0], p[1], p[2])) * glm::mat4_cast(rotation) *
           glm::scale(glm::mat4(1.0f), glm::vec3(s[0], s[1], s[2]));
}

// Depth-first search of the loaded three.js scene; `world` receives the node's world matrix.
const json* findLoaded(const json& children, const std::string& name, glm::mat4 parentWorld, glm::mat4* world,
                       const json** parent = nullptr, const json* parentNode = nullptr) {
    for (const json& child : children) {
        const glm::mat4 m = parentWorld * trs(child);
        if (child.at("name") == name) {
            if (world)
                *world = m;
            if (parent)
                *parent = parentNode;
            return &child;
        }
        if (const json* hit = findLoaded(child.at("children"), name, m, world, parent, &child))
            return hit;
    }
    return nullptr;
}

void expectMatrixNear(const glm::mat4& a, const glm::mat4& b, const std::string& what) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(a[c][r], b[c][r], 1e-4f) << what << ": column " << c << " row " << r;
}

class GlbExport : public orva::test::TempDirTest {
protected:
    // Builds and writes a GLB (through exportGlb, so the file writer is covered too) and reads it back.
    Glb write(const Scene& scene, const std::string& name, const ExportOptions& options = {}) {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(buildGlb(scene, options, bytes, &error)) << error;
        EXPECT_TRUE(exportGlb(scene, path(name), options, &error)) << error;
        std::string onDisk;
        EXPECT_TRUE(orva::io::readFile(path(name), onDisk));
        EXPECT_EQ(onDisk, std::string(bytes.begin(), bytes.end())) << "exportGlb writes what buildGlb built";
        written.push_back(path(name));
        return readGlb(bytes);
    }

    // Runs the validator and three.js on every file written so far; fails on any validator error
    // or warning and on any loader failure. Returns the reports by file name.
    std::map<std::string, json> inspectAll() {
        std::string error;
        const json reports = orva::test::inspectGlbFiles(written, &error);
        EXPECT_TRUE(error.empty()) << error;
        std::map<std::string, json> byName;
        for (const json& report : reports) {
            const std::string file = orva::io::fileName(report.at("file").get<std::string>());
            const json& v = report.at("validation");
            EXPECT_EQ(v.at("numErrors"), 0) << file << ": " << v.dump(1);
            EXPECT_EQ(v.at("numWarnings"), 0) << file << ": " << v.dump(1);
            EXPECT_FALSE(report.contains("loadError")) << file << ": " << report.value("loadError", "");
            byName[file] = report;
        }
        return byName;
    }

    std::vector<std::string> written;
};

SceneObject* addMesh(Scene& scene, const std::string& name, Mesh mesh) {
    SceneObject* object = scene.createObject(ObjectType::Mesh, name);
    *object->mesh = std::move(mesh);
    return object;
}

int addMaterial(Scene& scene, const std::string& name, glm::vec4 color, int texture = -1) {
    orva::Material m;
    m.name = name;
    m.baseColor = color;
    m.metallic = 0.25f;
    m.roughness = 0.75f;
    m.baseColorTexture = texture;
    scene.materials.push_back(m);
    return int(scene.materials.size() - 1);
}

} // namespace

// No mesh data at all: no buffer, no views, and the container ends after the JSON chunk.
TEST_F(GlbExport, OnlyACameraHasNoBinaryChunk) {
    Scene scene;
    SceneObject* camera = scene.createObject(ObjectType::Camera, "Camera");
    camera->yfovDeg = 60.0f;
    camera->znear = 0.5f;
    camera->zfar = 250.0f;
    camera->transform.position = {1, 2, 3};
    camera->transform.rotationEulerDeg = {-20, 30, 0};

    const Glb glb = write(scene, "camera.glb");
    EXPECT_TRUE(glb.bin.empty());
    EXPECT_EQ(glb.totalLength, 20 + glb.jsonChunk.size());
    const json& g = glb.gltf;
    EXPECT_EQ(g.at("asset").at("version"), "2.0");
    EXPECT_EQ(g.at("asset").at("generator"), "ORVA 3D Studio 0.1.0");
    for (const char* key : {"buffers", "bufferViews", "accessors", "meshes", "materials", "images", "samplers"})
        EXPECT_FALSE(g.contains(key)) << key;
    ASSERT_EQ(g.at("nodes").size(), 1u);
    EXPECT_EQ(g.at("nodes")[0].at("camera"), 0);
    EXPECT_EQ(g.at("scene"), 0);
    EXPECT_EQ(g.at("scenes")[0].at("name"), "Scene");
    const json& perspective = g.at("cameras")[0].at("perspective");
    EXPECT_NEAR(perspective.at("yfov").get<double>(), 60.0 * 3.14159265358979 / 180.0, 1e-6);
    EXPECT_FALSE(perspective.contains("aspectRatio"));

    auto reports = inspectAll();
    glm::mat4 world;
    const json* loaded = findLoaded(reports["camera.glb"].at("scene").at("children"), "Camera", glm::mat4(1), &world);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->at("type"), "PerspectiveCamera");
    EXPECT_NEAR(loaded->at("camera").at("fov").get<double>(), 60.0, 1e-4);
    EXPECT_NEAR(loaded->at("camera").at("near").get<double>(), 0.5, 1e-6);
    EXPECT_NEAR(loaded->at("camera").at("far").get<double>(), 250.0, 1e-4);
    expectMatrixNear(world, scene.worldMatrix(camera->id), "camera");
}

// The cube's UVs come out with v flipped, the PNG unchanged, and the tiling as a texture transform.
TEST_F(GlbExport, TexturedCubeWithTiling) {
    Scene scene;
    const auto image = orva::io::makeCheckerTexture(8, 2);
    const int texture = scene.addTexture({"checker.png", image, ""});
    const int material = addMaterial(scene, "Checker", {1, 0.5f, 0.25f, 1}, texture);
    scene.materials[size_t(material)].uvScale = {2, 2};
    SceneObject* cube = addMesh(scene, "Cube", orva::primitives::makeCube(2));
    cube->material = material;

    const Glb glb = write(scene, "cube.glb");
    const json& g = glb.gltf;
    const json& primitive = g.at("meshes")[0].at("primitives")[0];
    EXPECT_EQ(g.at("meshes")[0].at("name"), "Cube");
    EXPECT_EQ(primitive.at("mode"), 4);
    const json& position = g.at("accessors")[primitive.at("attributes").at("POSITION").get<size_t>()];
    EXPECT_EQ(position.at("min"), json::parse("[-1, -1, -1]"));
    EXPECT_EQ(position.at("max"), json::parse("[1, 1, 1]"));

    const orva::TriangleMesh tm = cube->mesh->triangulate();
    const auto uvs = glb.accessor<glm::vec2>(primitive.at("attributes").at("TEXCOORD_0").get<size_t>());
    ASSERT_EQ(uvs.size(), tm.uvs.size());
    for (size_t i = 0; i < uvs.size(); ++i)
        EXPECT_EQ(uvs[i], glm::vec2(tm.uvs[i].x, 1.0f - tm.uvs[i].y)) << "uv " << i;
    EXPECT_EQ(glb.accessor<uint32_t>(primitive.at("indices").get<size_t>()), tm.indices);
    EXPECT_EQ(glb.accessor<glm::vec3>(primitive.at("attributes").at("POSITION").get<size_t>()), tm.positions);

    ASSERT_EQ(g.at("images").size(), 1u);
    EXPECT_EQ(g.at("images")[0].at("mimeType"), "image/png");
    EXPECT_EQ(glb.view(g.at("images")[0].at("bufferView").get<size_t>()), image->bytes);
    EXPECT_EQ(g.at("samplers"), json::parse(R"([{"magFilter":9729,"minFilter":9987,"wrapS":10497,"wrapT":10497}])"));
    const json& info = g.at("materials")[0].at("pbrMetallicRoughness").at("baseColorTexture");
    EXPECT_EQ(info.at("index"), 0);
    EXPECT_EQ(info.at("extensions").at("KHR_texture_transform"),
              json::parse(R"({"offset":[0,0],"rotation":0,"scale":[2,2]})"));
    EXPECT_EQ(g.at("extensionsUsed"), json::parse(R"(["KHR_texture_transform"])"));

    auto reports = inspectAll();
    const json* loaded = findLoaded(reports["cube.glb"].at("scene").at("children"), "Cube", glm::mat4(1), nullptr);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->at("type"), "Mesh");
    const json& mesh = loaded->at("mesh");
    EXPECT_EQ(mesh.at("attributes"), json::parse(R"(["normal","position","uv"])"));
    EXPECT_EQ(mesh.at("indexCount"), 36);
    const json& m = mesh.at("material");
    EXPECT_EQ(m.at("name"), "Checker");
    EXPECT_EQ(m.at("color"), json::parse("[1, 0.5, 0.25]"));
    EXPECT_EQ(m.at("metalness"), 0.25);
    EXPECT_EQ(m.at("roughness"), 0.75);
    EXPECT_EQ(m.at("transparent"), false);
    EXPECT_EQ(m.at("map").at("repeat"), json::parse("[2, 2]"));
    EXPECT_EQ(m.at("map").at("offset"), json::parse("[0, 0]"));
    EXPECT_EQ(m.at("map").at("rotation"), 0);
    EXPECT_EQ(m.at("map").at("width"), 8);
    EXPECT_EQ(m.at("map").at("byteLength"), image->bytes.size());
}

TEST_F(GlbExport, MaterialsAlphaModesAndTextureTransforms) {
    Scene scene;
    const int texture = scene.addTexture({"wood.png", orva::io::makeCheckerTexture(4, 2), ""});
    struct Case {
        const char* name;
        glm::vec4 color;
        glm::vec2 scale, offset;
        float rotationDeg;
        const char* alphaMode;
    };
    const Case cases[] = {
        {"Half", {0.2f, 0.4f, 0.6f, 0.5f}, {1, 1}, {0, 0}, 0, "BLEND"},
        {"Opaque", {0.2f, 0.4f, 0.6f, 1}, {1, 1}, {0, 0}, 0, "OPAQUE"},
        {"Shifted", {1, 1, 1, 0.999f}, {1, 1}, {0.25f, -0.5f}, 0, "BLEND"},
        {"Turned", {1, 1, 1, 1}, {3, 0.5f}, {0, 0}, 90, "OPAQUE"},
    };
    for (const Case& c : cases) {
        const int m = addMaterial(scene, c.name, c.color, texture);
        scene.materials[size_t(m)].uvScale = c.scale;
        scene.materials[size_t(m)].uvOffset = c.offset;
        scene.materials[size_t(m)].uvRotationDeg = c.rotationDeg;
        addMesh(scene, std::string(c.name) + "Cube", orva::primitives::makeCube(1))->material = m;
    }
    const Glb glb = write(scene, "materials.glb");
    auto reports = inspectAll();
    const json& loadedScene = reports["materials.glb"].at("scene").at("children");
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const json& material = glb.gltf.at("materials")[i];
        EXPECT_EQ(material.at("alphaMode"), c.alphaMode);
        EXPECT_FALSE(material.contains("alphaCutoff"));
        const bool transformed = c.scale != glm::vec2(1) || c.offset != glm::vec2(0) || c.rotationDeg != 0;
        EXPECT_EQ(material.at("pbrMetallicRoughness").at("baseColorTexture").contains("extensions"), transformed);

        const json* node = findLoaded(loadedScene, std::string(c.name) + "Cube", glm::mat4(1), nullptr);
        ASSERT_NE(node, nullptr);
        const json& m = node->at("mesh").at("material");
        EXPECT_NEAR(m.at("opacity").get<float>(), c.color.a, 1e-6f);
        EXPECT_EQ(m.at("transparent"), c.color.a < 1.0f);
        EXPECT_NEAR(m.at("color")[2].get<float>(), c.color.b, 1e-6f);
        EXPECT_NEAR(m.at("map").at("repeat")[0].get<float>(), c.scale.x, 1e-6f);
        EXPECT_NEAR(m.at("map").at("repeat")[1].get<float>(), c.scale.y, 1e-6f);
        EXPECT_NEAR(m.at("map").at("offset")[0].get<float>(), c.offset.x, 1e-6f);
        EXPECT_NEAR(m.at("map").at("offset")[1].get<float>(), c.offset.y, 1e-6f);
        EXPECT_NEAR(m.at("map").at("rotation").get<float>(), c.rotationDeg * 3.14159265f / 180.0f, 1e-6f);
    }
    // One image and one texture for the four materials.
    EXPECT_EQ(glb.gltf.at("images").size(), 1u);
    EXPECT_EQ(glb.gltf.at("textures").size(), 1u);
}

// Hierarchy G > P > C (C is a light). Whatever subset is exported, every node's world placement
// matches the scene's, and a node hangs under its nearest exported ancestor.
TEST_F(GlbExport, HierarchyOfExportedSubsets) {
    Scene scene;
    SceneObject* g = addMesh(scene, "G", orva::primitives::makeCube(1));
    g->transform.position = {0, 5, 0};
    g->transform.rotationEulerDeg = {0, 30, 0};
    SceneObject* p = scene.createObject(ObjectType::SpawnPoint, "P");
    p->transform.position = {1, 0, 0};
    p->transform.scale = {2, 2, 2};
    p->transform.rotationEulerDeg = {0, 0, 45};
    SceneObject* child = scene.createObject(ObjectType::Light, "C");
    child->lightType = orva::LightType::Spot;
    child->transform.position = {1, 0, 0};
    child->transform.rotationEulerDeg = {10, 0, 0};
    ASSERT_TRUE(scene.setParent(p->id, g->id, false));
    ASSERT_TRUE(scene.setParent(child->id, p->id, false));
    SceneObject* other = addMesh(scene, "Other", orva::primitives::makeCube(1));
    other->visible = false; // visibility is the caller's choice, not the exporter's

    struct Case {
        const char* file;
        std::vector<uint32_t> ids;
        std::vector<std::pair<std::string, std::string>> parents; // node -> expected parent ("" for root)
    };
    const Case cases[] = {
        {"child_only.glb", {child->id}, {{"C", ""}}},
        {"skip_middle.glb", {g->id, child->id}, {{"G", ""}, {"C", "G"}}},
        {"all.glb", {}, {{"G", ""}, {"P", "G"}, {"C", "P"}, {"Other", ""}}},
    };
    std::vector<Glb> glbs;
    for (const Case& c : cases)
        glbs.push_back(write(scene, c.file, ExportOptions{!c.ids.empty(), c.ids}));

    // The child exported alone is a root whose transform is its world transform.
    const json& alone = glbs[0].gltf.at("nodes")[0];
    orva::Transform world;
    world.fromMatrix(scene.worldMatrix(child->id));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(alone.at("translation")[size_t(i)].get<float>(), world.position[i], 1e-5f);
    EXPECT_EQ(glbs[0].gltf.at("scenes")[0].at("nodes"), json::parse("[0]"));
    EXPECT_EQ(glbs[2].gltf.at("scenes")[0].at("nodes"), json::parse("[0, 3]"));
    EXPECT_EQ(glbs[2].gltf.at("nodes")[0].at("children"), json::parse("[1]"));

    auto reports = inspectAll();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const json& children = reports[c.file].at("scene").at("children");
        for (const auto& [name, parentName] : c.parents) {
            glm::mat4 loadedWorld;
            const json* parent = nullptr;
            const json* node = findLoaded(children, name, glm::mat4(1), &loadedWorld, &parent);
            ASSERT_NE(node, nullptr) << name;
            EXPECT_EQ(parent ? parent->at("name").get<std::string>() : "", parentName) << name;
            const SceneObject* object = nullptr;
            for (const auto& o : scene.objects)
                if (o->name == name)
                    object = o.get();
            expectMatrixNear(loadedWorld, scene.worldMatrix(object->id), name);
        }
    }
    const json* light = findLoaded(reports["all.glb"].at("scene").at("children"), "C", glm::mat4(1), nullptr);
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->at("type"), "SpotLight");
}

// A mesh object without faces (or with only unusable ones) is a plain node: glTF has no empty mesh.
TEST_F(GlbExport, MeshWithoutFacesIsANodeWithoutMesh) {
    Scene scene;
    SceneObject* empty = addMesh(scene, "Empty", Mesh());
    empty->material = scene.defaultMaterialIndex();
    Mesh lines;
    lines.addVertex({0, 0, 0});
    lines.addVertex({1, 0, 0});
    lines.addFace({0, 1});
    addMesh(scene, "Line", std::move(lines));
    SceneObject* cube = addMesh(scene, "Cube", orva::primitives::makeCube(1));
    cube->transform.position = {3, 0, 0};

    const Glb glb = write(scene, "empty.glb");
    const json& nodes = glb.gltf.at("nodes");
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_FALSE(nodes[0].contains("mesh"));
    EXPECT_FALSE(nodes[1].contains("mesh"));
    EXPECT_EQ(nodes[2].at("mesh"), 0);
    EXPECT_EQ(glb.gltf.at("meshes").size(), 1u);
    // The empty object's material was never used by a mesh, so it is not exported.
    EXPECT_FALSE(glb.gltf.contains("materials"));
    // The untextured cube still has UVs: they are exported, not invented.
    EXPECT_TRUE(glb.gltf.at("meshes")[0].at("primitives")[0].at("attributes").contains("TEXCOORD_0"));
    EXPECT_FALSE(glb.gltf.at("meshes")[0].at("primitives")[0].contains("material"));

    auto reports = inspectAll();
    const json& children = reports["empty.glb"].at("scene").at("children");
    const json* node = findLoaded(children, "Empty", glm::mat4(1), nullptr);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->at("type"), "Object3D");
    const json* loadedCube = findLoaded(children, "Cube", glm::mat4(1), nullptr);
    ASSERT_NE(loadedCube, nullptr);
    EXPECT_EQ(loadedCube->at("mesh").at("boundingBox").at("max"), json::parse("[0.5, 0.5, 0.5]"));
}

// One texture on three materials is stored once; a texture without image data gives none.
TEST_F(GlbExport, SharedTextureIsStoredOnce) {
    Scene scene;
    const auto image = orva::io::makeCheckerTexture(16, 4);
    const int shared = scene.addTexture({"shared.png", image, ""});
    const int missing = scene.addTexture({"missing.png", nullptr, "missing.png"});
    for (int i = 0; i < 3; ++i) {
        const int m = addMaterial(scene, "M" + std::to_string(i), {1, 1, 1, 1}, shared);
        SceneObject* cube = addMesh(scene, "Cube" + std::to_string(i), orva::primitives::makeCube(1));
        cube->material = m;
        cube->transform.position = {float(i) * 2, 0, 0};
    }
    Mesh plainQuad; // no UVs, but its material names a texture: TEXCOORD_0 is still written
    plainQuad.addVertex({0, 0, 0});
    plainQuad.addVertex({1, 0, 0});
    plainQuad.addVertex({1, 0, -1});
    plainQuad.addFace({0, 1, 2});
    addMesh(scene, "NoImage", std::move(plainQuad))->material = addMaterial(scene, "Gone", {1, 0, 0, 1}, missing);

    const Glb glb = write(scene, "shared.glb");
    const json& g = glb.gltf;
    ASSERT_EQ(g.at("images").size(), 1u);
    ASSERT_EQ(g.at("textures").size(), 1u);
    EXPECT_EQ(g.at("textures")[0].at("name"), "shared.png");
    EXPECT_EQ(g.at("textures")[0].at("sampler"), 0);
    EXPECT_EQ(g.at("samplers").size(), 1u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(g.at("materials")[size_t(i)].at("pbrMetallicRoughness").at("baseColorTexture").at("index"), 0);
    EXPECT_FALSE(g.at("materials")[3].at("pbrMetallicRoughness").contains("baseColorTexture"));
    EXPECT_TRUE(g.at("meshes")[3].at("primitives")[0].at("attributes").contains("TEXCOORD_0"));
    EXPECT_EQ(glb.view(g.at("images")[0].at("bufferView").get<size_t>()), image->bytes);

    auto reports = inspectAll();
    const json& children = reports["shared.glb"].at("scene").at("children");
    std::string imageId;
    for (int i = 0; i < 3; ++i) {
        const json* node = findLoaded(children, "Cube" + std::to_string(i), glm::mat4(1), nullptr);
        ASSERT_NE(node, nullptr);
        const json& map = node->at("mesh").at("material").at("map");
        EXPECT_EQ(map.at("width"), 16);
        if (i == 0)
            imageId = map.at("imageId");
        EXPECT_EQ(map.at("imageId"), imageId) << "three.js shares one image source";
    }
    const json* noImage = findLoaded(children, "NoImage", glm::mat4(1), nullptr);
    ASSERT_NE(noImage, nullptr);
    EXPECT_TRUE(noImage->at("mesh").at("material").at("map").is_null());
}

TEST_F(GlbExport, LightsAndUnusualValues) {
    Scene scene;
    struct Case {
        const char* name;
        orva::LightType type;
        float range;
        float inner, outer;
        const char* threeType;
    };
    const Case cases[] = {
        {"Point", orva::LightType::Point, 10, 0, 45, "PointLight"},
        {"Unlimited", orva::LightType::Point, 0, 0, 45, "PointLight"},
        {"Negative", orva::LightType::Point, -3, 0, 45, "PointLight"},
        {"Sun", orva::LightType::Directional, 0, 0, 45, "DirectionalLight"},
        {"Spot", orva::LightType::Spot, 20, 15, 30, "SpotLight"},
    };
    for (const Case& c : cases) {
        SceneObject* light = scene.createObject(ObjectType::Light, c.name);
        light->lightType = c.type;
        light->range = c.range;
        light->innerConeDeg = c.inner;
        light->outerConeDeg = c.outer;
        light->color = {1, 0.5f, 0.25f};
        light->intensity = 7;
    }
    // Names are user text: invalid UTF-8 must not make the JSON fail.
    scene.createObject(ObjectType::SpawnPoint, "Spawn \xff\xfe");

    const Glb glb = write(scene, "lights.glb");
    const json& lights = glb.gltf.at("extensions").at("KHR_lights_punctual").at("lights");
    ASSERT_EQ(lights.size(), std::size(cases));
    EXPECT_EQ(glb.gltf.at("extensionsUsed"), json::parse(R"(["KHR_lights_punctual"])"));
    EXPECT_EQ(lights[0].at("range"), 10);
    EXPECT_FALSE(lights[1].contains("range")) << "range 0 means unlimited";
    EXPECT_FALSE(lights[2].contains("range")) << "a negative range means unlimited too";
    EXPECT_EQ(lights[3].at("type"), "directional");
    EXPECT_FALSE(lights[3].contains("spot"));
    EXPECT_EQ(glb.gltf.at("nodes")[5].at("name"), "Spawn \xef\xbf\xbd\xef\xbf\xbd");

    auto reports = inspectAll();
    const json& children = reports["lights.glb"].at("scene").at("children");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const json* node = findLoaded(children, c.name, glm::mat4(1), nullptr);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->at("type"), c.threeType);
        const json& l = node->at("light");
        EXPECT_EQ(l.at("color"), json::parse("[1, 0.5, 0.25]"));
        EXPECT_EQ(l.at("intensity"), 7);
        if (c.type != orva::LightType::Directional) {
            EXPECT_NEAR(l.at("distance").get<float>(), c.range > 0 ? c.range : 0.0f, 1e-6f);
        }
        if (c.type == orva::LightType::Spot) {
            EXPECT_NEAR(l.at("angle").get<float>(), c.outer * 3.14159265f / 180.0f, 1e-6f);
            EXPECT_NEAR(l.at("penumbra").get<float>(), 1.0f - c.inner / c.outer, 1e-6f);
        }
    }
}

// The editor allows a 90 degree spot cone, equal inner and outer cones and equal clip distances;
// glTF does not (the float nearest pi/2 is above it, and the inequalities are strict). Such values,
// and out-of-range ones from hand-edited files, move to the nearest valid value.
TEST_F(GlbExport, ValuesOutsideGltfLimitsAreMovedInside) {
    Scene scene;
    struct Cone {
        const char* name;
        float inner, outer;
    };
    const Cone cones[] = {{"Wide", 90, 90}, {"Equal", 30, 30}, {"Closed", 0, 0}, {"Inverted", 40, 20}};
    for (const Cone& c : cones) {
        SceneObject* light = scene.createObject(ObjectType::Light, c.name);
        light->lightType = orva::LightType::Spot;
        light->innerConeDeg = c.inner;
        light->outerConeDeg = c.outer;
    }
    SceneObject* negative = scene.createObject(ObjectType::Light, "Negative");
    negative->intensity = -1;
    negative->color = {1.5f, -0.5f, 0.5f};
    SceneObject* camera = scene.createObject(ObjectType::Camera, "Flat");
    camera->znear = 5;
    camera->zfar = 5;
    camera->yfovDeg = 0;
    const int material = addMaterial(scene, "Hot", {2, 0.5f, -1, 1.5f});
    scene.materials[size_t(material)].metallic = -0.5f;
    scene.materials[size_t(material)].roughness = 3;
    addMesh(scene, "Cube", orva::primitives::makeCube(1))->material = material;

    const Glb glb = write(scene, "limits.glb");
    const json& lights = glb.gltf.at("extensions").at("KHR_lights_punctual").at("lights");
    for (size_t i = 0; i < std::size(cones); ++i) {
        const float inner = lights[i].at("spot").at("innerConeAngle");
        const float outer = lights[i].at("spot").at("outerConeAngle");
        EXPECT_LE(double(outer), 3.14159265358979 / 2) << cones[i].name;
        EXPECT_GT(outer, 0.0f) << cones[i].name;
        EXPECT_GE(inner, 0.0f) << cones[i].name;
        EXPECT_LT(inner, outer) << cones[i].name;
    }
    EXPECT_NEAR(lights[1].at("spot").at("outerConeAngle").get<float>(), 30 * 3.14159265f / 180, 1e-6f);
    EXPECT_EQ(lights[4].at("intensity"), 0);
    EXPECT_EQ(lights[4].at("color"), json::parse("[1, 0, 0.5]"));
    const json& perspective = glb.gltf.at("cameras")[0].at("perspective");
    EXPECT_GT(perspective.at("zfar").get<float>(), 5.0f);
    EXPECT_GT(perspective.at("yfov").get<float>(), 0.0f);
    const json& pbr = glb.gltf.at("materials")[0].at("pbrMetallicRoughness");
    EXPECT_EQ(pbr.at("baseColorFactor"), json::parse("[1, 0.5, 0, 1]"));
    EXPECT_EQ(pbr.at("metallicFactor"), 0);
    EXPECT_EQ(pbr.at("roughnessFactor"), 1);
    inspectAll();
}

// [SECTION] Failures and the container

TEST_F(GlbExport, NothingChosenFailsAndWritesNothing) {
    Scene scene;
    struct Case {
        const Scene* scene;
        ExportOptions options;
        const char* message;
    };
    Scene withCube;
    const uint32_t cube = addMesh(withCube, "Cube", orva::primitives::makeCube(1))->id;
    const Case cases[] = {
        {&scene, {}, "The scene is empty."},
        {&withCube, {true, {}}, "No objects are selected."},
        {&withCube, {true, {cube + 100}}, "No objects are selected."}, // an id naming no object
    };
    for (const Case& c : cases) {
        std::string error;
        std::vector<uint8_t> out;
        EXPECT_FALSE(buildGlb(*c.scene, c.options, out, &error));
        EXPECT_EQ(error, c.message);
        error.clear();
        EXPECT_FALSE(exportGlb(*c.scene, path("out.glb"), c.options, &error));
        EXPECT_EQ(error, c.message);
    }
    EXPECT_TRUE(fs::is_empty(dir));

    std::string error;
    const std::string target = path("no-such-folder/out.glb");
    EXPECT_FALSE(exportGlb(withCube, target, {}, &error));
    EXPECT_EQ(error, "Cannot open file for writing: " + target);
}

// Views of odd lengths: each view still starts on a multiple of 4, the JSON pads with spaces and
// the binary chunk with zeros (readGlb checks the padding rules on every file).
TEST_F(GlbExport, ViewsAndChunksAreAligned) {
    Scene scene;
    std::shared_ptr<const orva::TextureData> odd;
    for (int size = 1; size <= 64 && !odd; ++size) {
        auto candidate = orva::io::makeCheckerTexture(size, 1);
        if (candidate->bytes.size() % 4 != 0)
            odd = candidate;
    }
    ASSERT_TRUE(odd) << "no checker PNG of a length that is not a multiple of 4";
    const int first = scene.addTexture({"odd.png", odd, ""});
    const auto even = orva::io::makeCheckerTexture(8, 8);
    const int second = scene.addTexture({"even.png", even, ""});
    addMesh(scene, "A", orva::primitives::makeCube(1))->material = addMaterial(scene, "A", {1, 1, 1, 1}, first);
    addMesh(scene, "B", orva::primitives::makeCube(1))->material = addMaterial(scene, "B", {1, 1, 1, 1}, second);
    SceneObject* mirrored = addMesh(scene, "Mirrored", orva::primitives::makeCylinder(1, 2, 7));
    mirrored->transform.scale = {-1, 1, 1};

    const Glb glb = write(scene, "aligned.glb");
    const json& views = glb.gltf.at("bufferViews");
    EXPECT_EQ(glb.view(glb.gltf.at("images")[0].at("bufferView").get<size_t>()), odd->bytes);
    EXPECT_EQ(glb.view(glb.gltf.at("images")[1].at("bufferView").get<size_t>()), even->bytes);
    // Images follow all mesh data, so the first image view comes after the last mesh view.
    EXPECT_GT(views[views.size() - 2].at("byteOffset").get<size_t>(),
              views[views.size() - 3].at("byteOffset").get<size_t>());
    EXPECT_FALSE(views.back().contains("target"));
    EXPECT_EQ(glb.gltf.at("nodes")[2].at("scale"), json::parse("[-1, 1, 1]"));

    // A JSON chunk far longer than usual (the binary data is laid out before the JSON's size is
    // known) still comes out whole, followed by intact mesh data.
    Scene named;
    SceneObject* cube = addMesh(named, std::string(50000, 'x'), orva::primitives::makeCube(1));
    const Glb long_ = write(named, "long_names.glb");
    EXPECT_GT(long_.jsonChunk.size(), 100000u);
    const json& primitive = long_.gltf.at("meshes")[0].at("primitives")[0];
    EXPECT_EQ(long_.accessor<glm::vec3>(primitive.at("attributes").at("POSITION").get<size_t>()),
              cube->mesh->triangulate().positions);
    inspectAll();
}
