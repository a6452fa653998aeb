// Writes a small starting corpus for each fuzz target: one tiny image per format the decoder
// reads (made with stb_image_write or by hand), a few Base64 texts, a few HTTP requests, scene
// files written by the scene writer and small OBJ and ASCII FBX models. Not a fuzz target itself.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "document/document.h"
#include "io/file_utils.h"
#include "io/image.h"
#include "io/scene_file.h"

namespace {

void appendTo(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

bool put(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::string error;
    if (!orva::io::writeFileAtomic(file.string(), bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    return true;
}

std::vector<uint8_t> text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 1;
    }
    const std::filesystem::path root = argv[1];
    const std::filesystem::path images = root / "fuzz_texture", base64 = root / "fuzz_base64";
    const std::filesystem::path http = root / "fuzz_http_request";
    const std::filesystem::path scenes = root / "fuzz_scene_file", json = root / "fuzz_json_reader";
    std::filesystem::create_directories(images);
    std::filesystem::create_directories(base64);
    std::filesystem::create_directories(http);
    std::filesystem::create_directories(scenes);
    std::filesystem::create_directories(json);

    const int w = 4, h = 3;
    std::vector<uint8_t> rgba;
    for (int i = 0; i < w * h; ++i)
        rgba.insert(rgba.end(), {uint8_t(i * 20), uint8_t(255 - i * 20), uint8_t(i * 7), uint8_t(128 + i)});
    std::vector<float> hdr(size_t(w) * h * 3, 0.5f);

    bool ok = true;
    std::vector<uint8_t> out;
    auto encoded = [&](auto writer) {
        out.clear();
        writer();
        return out;
    };
    ok &=
        put(images / "seed.png", encoded([&] { stbi_write_png_to_func(appendTo, &out, w, h, 4, rgba.data(), w * 4); }));
    ok &= put(images / "seed.bmp", encoded([&] { stbi_write_bmp_to_func(appendTo, &out, w, h, 4, rgba.data()); }));
    ok &= put(images / "seed.tga", encoded([&] { stbi_write_tga_to_func(appendTo, &out, w, h, 4, rgba.data()); }));
    ok &= put(images / "seed.jpg", encoded([&] { stbi_write_jpg_to_func(appendTo, &out, w, h, 4, rgba.data(), 80); }));
    ok &= put(images / "seed.hdr", encoded([&] { stbi_write_hdr_to_func(appendTo, &out, w, h, 3, hdr.data()); }));
    std::vector<uint8_t> ppm = text("P6\n2 1\n255\n");
    ppm.insert(ppm.end(), {255, 0, 0, 0, 255, 0});
    ok &= put(images / "seed.ppm", ppm);
    ok &= put(images / "seed.pgm", text("P5 2 2 255 \x10\x20\x30\x40"));
    // A 1 x 1 GIF89a with a two-colour table.
    ok &= put(images / "seed.gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0,    0, 0, 255, 255,
                                    255, ',', 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 1, 0, ';'});

    ok &= put(base64 / "plain", text("Zm9vYmFy"));
    ok &= put(base64 / "padded", text("Zm9vYg=="));
    ok &= put(base64 / "wrapped", text("YWJj\r\nZGVm\nZ2g=\n"));
    ok &= put(base64 / "bad", text("YW\tJj-_"));

    // What a browser sends for a web build, and the refusals.
    ok &= put(http / "index", text("GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nAccept: */*\r\n\r\n"));
    ok &= put(http / "folder", text("GET /lib/ HTTP/1.1\r\n\r\n"));
    ok &= put(http / "query", text("GET /game.json?v=123#start HTTP/1.1\r\n\r\n"));
    ok &= put(http / "head", text("HEAD /scene.glb HTTP/1.1\r\n\r\n"));
    ok &= put(http / "encoded", text("GET /a%20b.txt HTTP/1.1\r\n\r\n"));
    ok &= put(http / "traversal", text("GET /lib/%2e%2e/..%2fsecret HTTP/1.1\r\n\r\n"));
    ok &= put(http / "backslash", text("GET /lib\\..\\index.html HTTP/1.1\r\n\r\n"));
    ok &= put(http / "post", text("POST / HTTP/1.1\r\nContent-Length: 2\r\n\r\nhi"));
    ok &= put(http / "bad", text("GET\r\n\r\n"));
    ok &= put(http / "unfinished", text("GET / HTTP/1.1\r\nHost: x\r\n"));

    // The default scene with a textured material and a parented camera.
    orva::Document document;
    document.setMaterialTexture(
        0,
        orva::makeTextureData(
            "image/png", encoded([&] { stbi_write_png_to_func(appendTo, &out, w, h, 4, rgba.data(), w * 4); }), w, h),
        "seed.png");
    document.setParent(4, 2);
    const std::string scene = orva::io::serializeOrvaProject(document.state.scene, {});
    ok &= put(scenes / "default.orva", text(scene));
    ok &= put(scenes / "minimal.orva", text(R"({"format": "ORVA", "formatVersion": {"major": 1, "minor": 3}})"));
    ok &= put(json / "scene.json", text(scene));
    ok &=
        put(json / "values.json",
            text(R"([0, -0, -0.0, 1.5e-3, 1e400, 18446744073709551616, "\u00e9\ud83d\ude00", true, null, {"a": {}}])"));
    // Models: our hand-made OBJ and ASCII FBX files and the small OBJ files of assimp's samples.
    const std::filesystem::path models = root / "fuzz_import";
    std::filesystem::create_directories(models);
    for (const char* source : {ORVA_IMPORT_FIXTURES, ORVA_ASSIMP_MODELS "/OBJ"}) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(source, ec)) {
            const std::string ext = entry.path().extension().string();
            if ((ext != ".obj" && ext != ".fbx") || entry.file_size(ec) > 16384)
                continue;
            std::string bytes;
            ok &= orva::io::readFile(entry.path().string(), bytes) &&
                  put(models / entry.path().filename(), std::vector<uint8_t>(bytes.begin(), bytes.end()));
        }
    }
    return ok ? 0 : 1;
}
