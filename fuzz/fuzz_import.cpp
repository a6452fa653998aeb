// Untrusted model files: OBJ and ASCII FBX bytes, written to a temporary file (the library reads
// files, and OBJ files name their material libraries by path) and read in this process, so that
// the sanitizer sees the conversion. A file either fails with a message or becomes a model whose
// every mesh is valid and whose hand-over to the editor's process decodes to the same model.
// (The editor itself reads models in a child process, which also survives crashes of the library.)
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "io/model_data.h"
#include "io/model_reader.h"

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

const std::filesystem::path& folder() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("orva_fuzz_import_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// ASCII FBX files open with a "; FBX" comment or their header record; everything else is OBJ.
bool looksLikeFbx(const uint8_t* data, size_t size) {
    const std::string head(reinterpret_cast<const char*>(data), std::min<size_t>(size, 256));
    return head.find("FBX") != std::string::npos;
}

void checkModel(const orva::io::ModelData& model) {
    check(!model.objects.empty());
    for (size_t i = 0; i < model.objects.size(); ++i) {
        const orva::io::ModelObject& o = model.objects[i];
        check(o.parent >= -1 && o.parent < int32_t(i));
        check(o.material >= -1 && o.material < int32_t(model.materials.size()));
        check(o.mesh.faceCount() > 0);
        std::string error;
        check(o.mesh.toMesh().validate(&error));
    }
    for (const orva::Material& m : model.materials)
        check(m.baseColorTexture >= -1 && m.baseColorTexture < int32_t(model.textures.size()));
    for (const orva::Texture& t : model.textures)
        check(t.data && !t.data->bytes.empty());
}

} // namespace

// The library leaks on some of its error paths (and when its internal checks throw); those leaks
// are its own and do not grow the editor, which reads models in a short-lived child process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libassimp.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = folder() / (looksLikeFbx(data, size) ? "input.fbx" : "input.obj");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    orva::io::ModelData model;
    std::string error;
    if (!orva::io::readModel(file.string(), model, &error)) {
        check(!error.empty());
        std::filesystem::remove(file);
        return 0;
    }
    std::filesystem::remove(file);
    checkModel(model);

    std::string bytes;
    orva::io::encodeModelData(model, bytes);
    orva::io::ModelData back;
    check(orva::io::decodeModelData(bytes.data(), bytes.size(), back));
    check(back.objects.size() == model.objects.size() && back.warnings == model.warnings);
    for (size_t i = 0; i < back.objects.size(); ++i)
        check(back.objects[i].mesh.corners == model.objects[i].mesh.corners);
    return 0;
}
