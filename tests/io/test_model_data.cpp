// The byte form in which the model reader hands a model from its process to the editor's, and the
// texture helpers of the reader.
#include <gtest/gtest.h>

#include <assimp/texture.h>

#include <string>
#include <vector>

#include "io/image.h"
#include "io/model_data.h"
#include "io/model_textures.h"

using orva::io::decodeModelData;
using orva::io::encodeModelData;
using orva::io::ModelData;

namespace {

// Two objects (the second under the first), a textured material and a warning.
ModelData sampleModel() {
    ModelData model;
    orva::io::RgbaImage image;
    image.width = 2;
    image.height = 1;
    image.pixels = {255, 0, 0, 255, 0, 0, 255, 255};
    std::vector<uint8_t> png;
    orva::io::encodePng(image, png);
    model.textures.push_back({"red.png", orva::makeTextureData("image/png", png, 2, 1), ""});
    orva::Material m;
    m.name = "Painted";
    m.baseColor = {1, 1, 1, 0.5f};
    m.baseColorTexture = 0;
    model.materials.push_back(m);
    for (int i = 0; i < 2; ++i) {
        orva::io::ModelObject o;
        o.name = i == 0 ? "Base" : "Top";
        o.parent = i - 1;
        o.world = glm::mat4(1.0f);
        o.world[3] = glm::vec4(1, 2, 3 + i, 1);
        o.material = i == 0 ? 0 : -1;
        o.visible = i == 0;
        for (int v = 0; v < 4; ++v)
            o.mesh.positions.push_back({float(v & 1), float(v >> 1), 0});
        o.mesh.cornerCounts = {4, 3};
        o.mesh.faceFlags = {orva::io::ModelMesh::kSmooth | orva::io::ModelMesh::kHasUvs, 0};
        o.mesh.corners = {0, 1, 3, 2, 0, 1, 2};
        o.mesh.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}, {0, 0}, {0, 0}};
        model.objects.push_back(std::move(o));
    }
    model.warnings = {"first", "second"};
    return model;
}

} // namespace

TEST(ModelData, RoundTrip) {
    const ModelData model = sampleModel();
    std::string bytes;
    encodeModelData(model, bytes);
    ModelData back;
    ASSERT_TRUE(decodeModelData(bytes.data(), bytes.size(), back));
    ASSERT_EQ(back.objects.size(), 2u);
    EXPECT_EQ(back.objects[1].name, "Top");
    EXPECT_EQ(back.objects[1].parent, 0);
    EXPECT_EQ(back.objects[1].world, model.objects[1].world);
    EXPECT_EQ(back.objects[1].material, -1);
    EXPECT_FALSE(back.objects[1].visible);
    const orva::Mesh mesh = back.objects[0].mesh.toMesh();
    ASSERT_EQ(mesh.faces.size(), 2u);
    EXPECT_EQ(mesh.vertices[3].position, glm::vec3(1, 1, 0));
    EXPECT_EQ(mesh.faces[0].indices, (std::vector<uint32_t>{0, 1, 3, 2}));
    EXPECT_EQ(mesh.faces[0].uvs[2], glm::vec2(1, 1));
    EXPECT_TRUE(mesh.faces[0].smooth);
    EXPECT_TRUE(mesh.faces[1].uvs.empty());
    EXPECT_FALSE(mesh.faces[1].smooth);
    EXPECT_EQ(back.materials[0].name, "Painted");
    EXPECT_EQ(back.materials[0].baseColor.a, 0.5f);
    ASSERT_EQ(back.textures.size(), 1u);
    EXPECT_EQ(back.textures[0].data->bytes, model.textures[0].data->bytes);
    EXPECT_NE(back.textures[0].data->id, model.textures[0].data->id); // a texture of this process
    EXPECT_EQ(back.warnings, model.warnings);
}

// Every cut-off length and a set of single-byte changes fail cleanly or decode to a valid model.
TEST(ModelData, DamagedBytesAreRefusedOrStayConsistent) {
    std::string bytes;
    encodeModelData(sampleModel(), bytes);
    for (size_t size = 0; size < bytes.size(); ++size) {
        ModelData out;
        std::string error;
        EXPECT_FALSE(decodeModelData(bytes.data(), size, out, &error)) << size;
        EXPECT_EQ(error, "the model data is damaged");
    }
    for (size_t at = 0; at < bytes.size(); ++at) {
        std::string changed = bytes;
        changed[at] = char(changed[at] ^ 0x5A);
        ModelData out;
        if (!decodeModelData(changed.data(), changed.size(), out))
            continue;
        for (size_t i = 0; i < out.objects.size(); ++i) {
            EXPECT_TRUE(out.objects[i].mesh.toMesh().validate()) << at;
            EXPECT_LT(out.objects[i].parent, int32_t(i)) << at;
            EXPECT_LT(out.objects[i].material, int32_t(out.materials.size())) << at;
        }
    }
}

// Images inside a model file: raw BGRA texels (some formats store them) become PNG.
TEST(ModelTextures, RawEmbeddedTexelsBecomePng) {
    aiTexel texels[2] = {{10, 20, 30, 255}, {1, 2, 3, 4}}; // b, g, r, a
    aiTexture texture;
    texture.mWidth = 2;
    texture.mHeight = 1;
    texture.pcData = texels;
    auto data = orva::io::textureFromEmbedded(texture);
    texture.pcData = nullptr; // owned by the test, not by the texture
    ASSERT_TRUE(data);
    EXPECT_EQ(data->mimeType, "image/png");
    orva::io::RgbaImage image;
    ASSERT_TRUE(orva::io::decodeImage(data->bytes.data(), data->bytes.size(), image));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{30, 20, 10, 255, 3, 2, 1, 4}));

    aiTexel one{0, 0, 0, 0};
    aiTexture tooWide;
    tooWide.mWidth = 16385;
    tooWide.mHeight = 1;
    tooWide.pcData = &one;
    std::string error;
    EXPECT_FALSE(orva::io::textureFromEmbedded(tooWide, &error));
    tooWide.pcData = nullptr;
    EXPECT_EQ(error, "image size 16385x1 is not supported");
}

TEST(ModelTextures, CandidatePathsInOrder) {
    using orva::io::textureCandidatePaths;
    EXPECT_EQ(textureCandidatePaths("/m", ".\\maps\\wood.png"),
              (std::vector<std::string>{"/m/./maps/wood.png", "/m/wood.png", "/m/textures/wood.png",
                                        "/m/Textures/wood.png"}));
    EXPECT_EQ(textureCandidatePaths("/m", "D:\\art\\wood.png"),
              (std::vector<std::string>{"/m/D:/art/wood.png", "/m/wood.png", "/m/textures/wood.png",
                                        "/m/Textures/wood.png"}));
    EXPECT_EQ(
        textureCandidatePaths("/m", "/abs/wood.png"),
        (std::vector<std::string>{"/abs/wood.png", "/m/wood.png", "/m/textures/wood.png", "/m/Textures/wood.png"}));
    EXPECT_EQ(textureCandidatePaths("/m", "wood.png"),
              (std::vector<std::string>{"/m/wood.png", "/m/textures/wood.png", "/m/Textures/wood.png"}));
    EXPECT_TRUE(textureCandidatePaths("/m", "").empty());
}
