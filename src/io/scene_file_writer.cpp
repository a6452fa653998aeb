// Writing ".orva" scene files: the document text, and the project variant that moves textures
// into the project's texture folder. Keys are written in ascending byte order by hand; the
// layout is that of the JSON library's tab-indented printer (see JsonWriter).

#include "io/file_utils.h"
#include "io/json_writer.h"
#include "io/base64.h"
#include "io/scene_file.h"
#include "version.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <limits>
#include <system_error>

namespace orva::io {

namespace {

namespace fs = std::filesystem;

// JSON has no infinity or NaN (the printer would write null, which no float field accepts back):
// such values, which no file read produces, are written as the nearest finite float, or 0.
void writeFloat(JsonWriter& w, float f) {
    if (std::isnan(f))
        f = 0.0f;
    else if (std::isinf(f))
        f = std::copysign(std::numeric_limits<float>::max(), f);
    w.number(f);
}

void writeVec2(JsonWriter& w, const glm::vec2& v) {
    w.beginArray();
    writeFloat(w, v.x);
    writeFloat(w, v.y);
    w.endArray();
}

void writeVec3(JsonWriter& w, const glm::vec3& v) {
    w.beginArray();
    writeFloat(w, v.x);
    writeFloat(w, v.y);
    writeFloat(w, v.z);
    w.endArray();
}

const char* objectTypeKey(ObjectType type) {
    switch (type) {
    case ObjectType::Camera:
        return "camera";
    case ObjectType::Light:
        return "light";
    case ObjectType::SpawnPoint:
        return "spawn";
    default:
        return "mesh";
    }
}

const char* lightTypeKey(LightType type) {
    switch (type) {
    case LightType::Directional:
        return "directional";
    case LightType::Spot:
        return "spot";
    default:
        return "point";
    }
}

// A missing mesh is written as an empty one. Normals are written for other readers only: this
// reader recomputes them from the positions and smooth flags.
void meshToJson(JsonWriter& w, const Mesh* mesh) {
    static const Mesh kEmpty;
    const Mesh& m = mesh ? *mesh : kEmpty;
    const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

    bool anySmooth = false;
    for (const Face& f : m.faces)
        anySmooth = anySmooth || f.smooth;
    const std::vector<glm::vec3> smoothNormals = anySmooth ? m.smoothVertexNormals() : std::vector<glm::vec3>();

    w.beginObject();
    w.key("cornerNormals");
    w.beginArray();
    for (uint32_t fi = 0; fi < m.faces.size(); ++fi) {
        const Face& f = m.faces[fi];
        const glm::vec3 flat = f.smooth || f.indices.empty() ? kUp : m.faceNormal(fi);
        for (uint32_t v : f.indices) {
            const glm::vec3& n = f.smooth ? (v < smoothNormals.size() ? smoothNormals[v] : kUp) : flat;
            writeFloat(w, n.x);
            writeFloat(w, n.y);
            writeFloat(w, n.z);
        }
    }
    w.endArray();
    if (m.hasUVs()) {
        w.key("cornerUVs");
        w.beginArray();
        for (const Face& f : m.faces) {
            const bool has = f.uvs.size() == f.indices.size();
            for (size_t c = 0; c < f.indices.size(); ++c) {
                writeFloat(w, has ? f.uvs[c].x : 0.0f);
                writeFloat(w, has ? f.uvs[c].y : 0.0f);
            }
        }
        w.endArray();
    }
    w.key("faceSmooth");
    w.beginArray();
    for (const Face& f : m.faces)
        w.unsignedInteger(f.smooth ? 1 : 0);
    w.endArray();
    w.key("faceVertexCounts");
    w.beginArray();
    for (const Face& f : m.faces)
        w.unsignedInteger(f.indices.size());
    w.endArray();
    w.key("faceVertexIndices");
    w.beginArray();
    for (const Face& f : m.faces)
        for (uint32_t v : f.indices)
            w.unsignedInteger(v);
    w.endArray();
    w.key("positions");
    w.beginArray();
    for (const Vertex& v : m.vertices) {
        writeFloat(w, v.position.x);
        writeFloat(w, v.position.y);
        writeFloat(w, v.position.z);
    }
    w.endArray();
    w.endObject();
}

void writeObject(JsonWriter& w, const Scene& scene, const SceneObject& o) {
    w.beginObject();
    if (o.type == ObjectType::Camera) {
        w.key("camera");
        w.beginObject();
        w.key("projection");
        w.string("perspective");
        w.key("yfovDeg");
        writeFloat(w, o.yfovDeg);
        w.key("zfar");
        writeFloat(w, o.zfar);
        w.key("znear");
        writeFloat(w, o.znear);
        w.endObject();
    }
    w.key("id");
    w.unsignedInteger(o.id);
    if (o.type == ObjectType::Light) {
        w.key("light");
        w.beginObject();
        w.key("color");
        writeVec3(w, o.color);
        w.key("innerConeDeg");
        writeFloat(w, o.innerConeDeg);
        w.key("intensity");
        writeFloat(w, o.intensity);
        w.key("outerConeDeg");
        writeFloat(w, o.outerConeDeg);
        w.key("range");
        writeFloat(w, o.range);
        w.key("type");
        w.string(lightTypeKey(o.lightType));
        w.endObject();
    }
    const bool isMesh = o.type != ObjectType::Camera && o.type != ObjectType::Light && o.type != ObjectType::SpawnPoint;
    if (isMesh) {
        w.key("material");
        w.integer(o.material);
        w.key("mesh");
        meshToJson(w, o.mesh.get());
    }
    w.key("name");
    w.string(o.name);
    w.key("parent");
    w.unsignedInteger(scene.find(o.parent) ? o.parent : kInvalidObject);
    w.key("transform");
    w.beginObject();
    w.key("position");
    writeVec3(w, o.transform.position);
    w.key("rotationEulerDeg");
    writeVec3(w, o.transform.rotationEulerDeg);
    w.key("rotationOrder");
    w.string("XYZ");
    w.key("scale");
    writeVec3(w, o.transform.scale);
    w.endObject();
    w.key("type");
    w.string(objectTypeKey(o.type));
    w.key("visible");
    w.boolean(o.visible);
    w.endObject();
}

void writeMaterial(JsonWriter& w, const Material& m, size_t textureCount) {
    const bool textured = m.baseColorTexture >= 0 && size_t(m.baseColorTexture) < textureCount;
    w.beginObject();
    w.key("baseColor");
    w.beginArray();
    for (int i = 0; i < 4; ++i)
        writeFloat(w, m.baseColor[i]);
    w.endArray();
    if (textured) {
        w.key("baseColorTexture");
        w.integer(m.baseColorTexture);
    }
    w.key("metallic");
    writeFloat(w, m.metallic);
    w.key("name");
    w.string(m.name);
    w.key("roughness");
    writeFloat(w, m.roughness);
    if (textured) {
        w.key("uvTransform");
        w.beginObject();
        w.key("offset");
        writeVec2(w, m.uvOffset);
        w.key("rotationDeg");
        writeFloat(w, m.uvRotationDeg);
        w.key("scale");
        writeVec2(w, m.uvScale);
        w.endObject();
    }
    w.endObject();
}

// `externalPath` empty: the embedded shape (or name only without data); else the external shape.
void writeTexture(JsonWriter& w, const Texture& t, const std::string& externalPath) {
    w.beginObject();
    if (t.data && externalPath.empty()) {
        w.key("data");
        w.string(base64Encode(t.data->bytes));
        w.key("height");
        w.integer(t.data->height);
        w.key("mimeType");
        w.string(t.data->mimeType);
    }
    w.key("name");
    w.string(t.name);
    if (t.data && !externalPath.empty()) {
        w.key("path");
        w.string(externalPath);
    }
    if (t.data && externalPath.empty()) {
        w.key("width");
        w.integer(t.data->width);
    }
    w.endObject();
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char buf[32];
    const size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return std::string(buf, n);
}

// A generous estimate of the text size, so the buffer grows at most once or twice.
size_t estimateSize(const Scene& scene) {
    size_t size = 4096;
    for (const Texture& t : scene.textures)
        size += 256 + (t.data ? t.data->bytes.size() / 3 * 4 + 4 : 0);
    for (const auto& o : scene.objects) {
        size += 1024 + o->name.size();
        if (!o->mesh)
            continue;
        size_t corners = 0;
        for (const Face& f : o->mesh->faces)
            corners += f.indices.size();
        // Numbers sit 5 tabs deep: about 26 bytes per float and 10 per integer.
        size += o->mesh->vertices.size() * 3 * 26 + corners * (5 * 26 + 10) + o->mesh->faces.size() * 2 * 9;
    }
    return size;
}

std::string writeDocument(const Scene& scene, const ProjectViewState& view,
                          const std::vector<std::string>& externalPaths) {
    std::string out;
    out.reserve(estimateSize(scene));
    JsonWriter w(out);
    w.beginObject();
    w.key("extensions");
    w.beginObject();
    w.endObject();
    w.key("format");
    w.string("ORVA");
    w.key("formatVersion");
    w.beginObject();
    w.key("major");
    w.integer(1);
    w.key("minor");
    w.integer(3);
    w.endObject();
    w.key("generator");
    w.beginObject();
    w.key("application");
    w.string(kAppName);
    w.key("version");
    w.string(kAppVersion);
    w.endObject();
    w.key("materials");
    w.beginArray();
    for (const Material& m : scene.materials)
        writeMaterial(w, m, scene.textures.size());
    w.endArray();
    w.key("metadata");
    w.beginObject();
    w.key("savedUtc");
    w.string(utcNow());
    w.endObject();
    w.key("objects");
    w.beginArray();
    for (const auto& o : scene.objects)
        writeObject(w, scene, *o);
    w.endArray();
    w.key("textures");
    w.beginArray();
    for (size_t i = 0; i < scene.textures.size(); ++i)
        writeTexture(w, scene.textures[i], i < externalPaths.size() ? externalPaths[i] : std::string());
    w.endArray();
    w.key("units");
    w.beginObject();
    w.key("handedness");
    w.string("right");
    w.key("length");
    w.string("meter");
    w.key("upAxis");
    w.string("+Y");
    w.endObject();
    w.key("viewport");
    w.beginObject();
    w.key("camera");
    w.beginObject();
    w.key("distance");
    writeFloat(w, view.distance);
    w.key("fovDeg");
    writeFloat(w, view.fovDeg);
    w.key("orthographic");
    w.boolean(view.orthographic);
    w.key("pitchDeg");
    writeFloat(w, view.pitchDeg);
    w.key("target");
    writeVec3(w, view.target);
    w.key("yawDeg");
    writeFloat(w, view.yawDeg);
    w.endObject();
    w.endObject();
    w.endObject();
    return out;
}

// A scene file lies in a project when its folder is named "Scenes" and the folder above holds
// an entry named "project.json" (of any kind).
bool liesInProject(const fs::path& sceneFile) {
    const fs::path folder = sceneFile.parent_path();
    if (folder.filename() != "Scenes")
        return false;
    std::error_code ec;
    return fs::exists(fs::symlink_status(folder.parent_path() / "project.json", ec));
}

} // namespace

uint64_t fnv1a64(const uint8_t* data, size_t size) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string projectTextureFileName(const std::string& name, const TextureData& data) {
    std::string base = fileStem(name);
    for (char& c : base) {
        const bool keep =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!keep)
            c = '_';
    }
    if (base.empty())
        base = "Texture";
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(fnv1a64(data.bytes.data(), data.bytes.size())));
    return base + "_" + hash + (data.mimeType == "image/jpeg" ? ".jpg" : ".png");
}

std::string serializeOrvaProject(const Scene& scene, const ProjectViewState& view) {
    return writeDocument(scene, view, {});
}

bool saveOrvaProject(const std::string& path, const Scene& scene, const ProjectViewState& view, std::string* error) {
    std::vector<std::string> externalPaths;
    const fs::path file = pathFromUtf8(path);
    if (liesInProject(file)) {
        // Each texture goes to the project's texture folder first; the scene file is written
        // only when all of them were. Identical bytes give the identical name, so saving again
        // overwrites the same file.
        externalPaths.resize(scene.textures.size());
        for (size_t i = 0; i < scene.textures.size(); ++i) {
            const Texture& t = scene.textures[i];
            if (!t.data)
                continue;
            externalPaths[i] = "../Assets/Textures/" + projectTextureFileName(t.name, *t.data);
            const std::string target = pathToUtf8(file.parent_path() / pathFromUtf8(externalPaths[i]));
            if (!writeFileAtomic(target, t.data->bytes.data(), t.data->bytes.size(), error))
                return false;
        }
    }
    const std::string text = writeDocument(scene, view, externalPaths);
    return writeFileAtomic(path, text.data(), text.size(), error);
}

} // namespace orva::io
