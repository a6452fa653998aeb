#include "io/obj_export.h"

#include "io/file_utils.h"
#include "version.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>

#include <glm/gtc/matrix_inverse.hpp>

// [SECTION] Text helpers
// [SECTION] Exact-value tables for "vn" and "vt"
// [SECTION] OBJ text
// [SECTION] MTL text and texture file names
// [SECTION] Writing files

namespace orva::io {

namespace {

// [SECTION] Text helpers

// Object, material and texture file names must not break the line-based formats: whitespace that
// would split or end a statement becomes '_'. Every other byte (UTF-8 included) stays.
std::string safeName(const std::string& name) {
    std::string result = name;
    for (char& c : result)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            c = '_';
    return result;
}

std::string safeNameOrUnnamed(const std::string& name) { return name.empty() ? "unnamed" : safeName(name); }

// " %.6g" of the value widened to double. std::to_chars with a precision is specified as printf's
// %g in the C locale, and is several times faster, which matters for million-vertex meshes.
void appendNumber(std::string& out, float value) {
    char buffer[40];
    buffer[0] = ' ';
    const std::to_chars_result r =
        std::to_chars(buffer + 1, buffer + sizeof(buffer), double(value), std::chars_format::general, 6);
    out.append(buffer, r.ptr);
}

void appendIndex(std::string& out, uint64_t value) {
    char buffer[24];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof(buffer), value);
    out.append(buffer, r.ptr);
}

[[gnu::format(printf, 2, 3)]] void appendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size > 0) {
        const size_t start = out.size();
        out.resize(start + size_t(size) + 1);
        std::vsnprintf(out.data() + start, size_t(size) + 1, format, args);
        out.resize(start + size_t(size));
    }
    va_end(args);
}

// [SECTION] Exact-value tables for "vn" and "vt"

// Float bits with -0 folded onto +0: two values share an entry exactly when they compare equal
// (NaNs, which compare equal to nothing, are kept apart by their bits).
uint32_t keyBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof(u));
    return u == 0x80000000u ? 0u : u;
}

// Maps N exact floats to the 1-based index of the line that introduced them. Open addressing over
// a flat array: a million-face mesh introduces about a million entries, which std::map would
// spend most of the export on.
template <int N> class ExactTable {
public:
    // The index of `values`, or 0 when the table does not hold them yet.
    uint32_t find(const float* values) const {
        if (slots_.empty())
            return 0;
        const Key key = makeKey(values);
        for (size_t i = slotOf(key);; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.index == 0)
                return 0;
            if (slot.key == key)
                return slot.index;
        }
    }

    // Adds values that find() did not hold; returns their new index.
    uint32_t add(const float* values) {
        if ((count_ + 1) * 2 > slots_.size())
            grow();
        const Key key = makeKey(values);
        size_t i = slotOf(key);
        while (slots_[i].index != 0)
            i = (i + 1) & mask_;
        slots_[i] = Slot{key, uint32_t(++count_)};
        return uint32_t(count_);
    }

private:
    struct Key {
        uint32_t bits[N];
        bool operator==(const Key& o) const { return std::memcmp(bits, o.bits, sizeof(bits)) == 0; }
    };
    struct Slot {
        Key key{};
        uint32_t index = 0; // 0: empty
    };

    static Key makeKey(const float* values) {
        Key key;
        for (int i = 0; i < N; ++i)
            key.bits[i] = keyBits(values[i]);
        return key;
    }

    size_t slotOf(const Key& key) const {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (int i = 0; i < N; ++i)
            h = (h ^ key.bits[i]) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
        return size_t(h) & mask_;
    }

    void grow() {
        std::vector<Slot> old(slots_.empty() ? 1024 : slots_.size() * 2);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.index == 0)
                continue;
            size_t i = slotOf(slot.key);
            while (slots_[i].index != 0)
                i = (i + 1) & mask_;
            slots_[i] = slot;
        }
    }

    std::vector<Slot> slots_;
    size_t mask_ = 0;
    size_t count_ = 0;
};

// [SECTION] OBJ text

bool isExported(const SceneObject& object, const ExportOptions& options, const std::vector<uint32_t>& sortedIds) {
    if (object.type != ObjectType::Mesh || !object.mesh)
        return false;
    return !options.selectedOnly || std::binary_search(sortedIds.begin(), sortedIds.end(), object.id);
}

bool validMaterial(const Scene& scene, int32_t index) { return index >= 0 && size_t(index) < scene.materials.size(); }

// A mesh can hold faces naming vertices it does not have (a damaged file); such faces are skipped
// rather than read out of bounds or written as references to someone else's vertices.
bool cornersInRange(const Face& face, size_t vertexCount) {
    for (uint32_t index : face.indices)
        if (index >= vertexCount)
            return false;
    return true;
}

// The file-wide running state: vertex numbering and the shared "vn" and "vt" tables.
struct ObjWriter {
    explicit ObjWriter(std::string& text) : out(text) {}

    std::string& out;
    uint64_t vertexBase = 0;
    ExactTable<3> normals;
    ExactTable<2> uvs;

    // The "vn" index of a world-space unit normal, writing its line when it is new.
    uint32_t normalIndex(const glm::vec3& n) {
        const float values[3] = {n.x, n.y, n.z};
        uint32_t index = normals.find(values);
        if (index == 0) {
            out += "vn";
            appendNumber(out, n.x);
            appendNumber(out, n.y);
            appendNumber(out, n.z);
            out += '\n';
            index = normals.add(values);
        }
        return index;
    }

    uint32_t uvIndex(const glm::vec2& uv) {
        const float values[2] = {uv.x, uv.y};
        uint32_t index = uvs.find(values);
        if (index == 0) {
            out += "vt";
            appendNumber(out, uv.x);
            appendNumber(out, uv.y);
            out += '\n';
            index = uvs.add(values);
        }
        return index;
    }

    void writeObject(const SceneObject& object, const glm::mat4& world, const std::string* materialName);
};

// Object-space normal to a world-space unit normal; a zero or non-finite result (a degenerate
// normal, a matrix that scales an axis to zero) falls back to +Y like every other degenerate normal.
glm::vec3 worldNormal(const glm::mat3& normalMatrix, const glm::vec3& n) {
    const glm::vec3 w = normalMatrix * n;
    const float length = glm::length(w);
    if (!(length > 1e-20f) || !std::isfinite(length))
        return glm::vec3(0.0f, 1.0f, 0.0f);
    return w / length;
}

void ObjWriter::writeObject(const SceneObject& object, const glm::mat4& world, const std::string* materialName) {
    const Mesh& mesh = *object.mesh;
    const size_t vertexCount = mesh.vertices.size();

    out += "o ";
    out += safeNameOrUnnamed(object.name);
    out += '\n';
    for (const Vertex& vertex : mesh.vertices) {
        const glm::vec4 p = world * glm::vec4(vertex.position, 1.0f);
        out += 'v';
        appendNumber(out, p.x);
        appendNumber(out, p.y);
        appendNumber(out, p.z);
        out += '\n';
    }
    if (materialName) {
        out += "usemtl ";
        out += *materialName;
        out += '\n';
    }
    out += "s off\n";

    const glm::mat3 linear(world);
    const glm::mat3 normalMatrix = glm::inverseTranspose(linear);
    const bool mirrored = glm::determinant(linear) < 0.0f;

    bool anySmooth = false;
    for (const Face& face : mesh.faces)
        anySmooth = anySmooth || face.smooth;
    const std::vector<glm::vec3> smoothNormals = anySmooth ? mesh.smoothVertexNormals() : std::vector<glm::vec3>();

    // Per-vertex memory of table lookups already made. A smooth vertex always has the same normal,
    // and most vertices carry one UV, so most corners need no table lookup at all. The cached
    // indices are exactly what the tables hold, so the output does not depend on the caching.
    std::vector<uint32_t> smoothIndex(anySmooth ? vertexCount : 0, 0);
    struct UvMemo {
        float u = 0.0f, v = 0.0f;
        uint32_t index = 0; // 0: nothing remembered
    };
    std::vector<UvMemo> uvMemo;

    std::string tokens;
    std::vector<size_t> tokenEnds;
    bool smoothState = false;
    for (uint32_t f = 0; f < mesh.faces.size(); ++f) {
        const Face& face = mesh.faces[f];
        const size_t n = face.indices.size();
        if (n < 3 || !cornersInRange(face, vertexCount))
            continue;
        if (face.smooth != smoothState) {
            out += face.smooth ? "s 1\n" : "s off\n";
            smoothState = face.smooth;
        }
        // A flat face's normal is the same for every corner: its "vn" (if new) comes out just where
        // the first corner would introduce it.
        const uint32_t flatIndex = face.smooth ? 0 : normalIndex(worldNormal(normalMatrix, mesh.faceNormal(f)));
        const bool withUVs = face.hasUVs();
        if (withUVs && uvMemo.empty())
            uvMemo.resize(vertexCount);

        tokens.clear();
        tokenEnds.clear();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t v = face.indices[i];
            uint32_t vn = flatIndex;
            if (face.smooth) {
                if (smoothIndex[v] == 0)
                    smoothIndex[v] = normalIndex(worldNormal(normalMatrix, smoothNormals[v]));
                vn = smoothIndex[v];
            }
            appendIndex(tokens, vertexBase + v + 1);
            tokens += '/';
            if (withUVs) {
                const glm::vec2 uv = face.uvs[i];
                UvMemo& memo = uvMemo[v];
                if (memo.index == 0 || keyBits(memo.u) != keyBits(uv.x) || keyBits(memo.v) != keyBits(uv.y))
                    memo = UvMemo{uv.x, uv.y, uvIndex(uv)};
                appendIndex(tokens, memo.index);
            }
            tokens += '/';
            appendIndex(tokens, vn);
            tokenEnds.push_back(tokens.size());
        }

        // A mirroring transform turns counter-clockwise corners clockwise; reversing the order
        // keeps the faces' fronts on the side their normals point to.
        out += 'f';
        for (size_t k = 0; k < n; ++k) {
            const size_t t = mirrored ? n - 1 - k : k;
            const size_t begin = t == 0 ? 0 : tokenEnds[t - 1];
            out += ' ';
            out.append(tokens, begin, tokenEnds[t] - begin);
        }
        out += '\n';
    }
    vertexBase += vertexCount;
}

// [SECTION] MTL text and texture file names

bool hasImage(const Texture& texture) { return texture.data && !texture.data->bytes.empty(); }

// The file name under which `data` is written beside the OBJ: a TextureData already listed keeps
// its name; otherwise a fresh one from the texture's name, with "_1", "_2", ... added to the stem
// when another listed image already took it.
std::string textureFileName(ObjDocument& doc, const Texture& texture) {
    for (const auto& [name, data] : doc.textureFiles)
        if (data == texture.data)
            return name;

    std::string stem = fileStem(texture.name.empty() ? std::string("texture") : texture.name);
    stem = safeNameOrUnnamed(stem);
    const std::string extension = texture.data->mimeType == "image/jpeg" ? ".jpg" : ".png";
    auto taken = [&](const std::string& candidate) {
        for (const auto& entry : doc.textureFiles)
            if (entry.first == candidate)
                return true;
        return false;
    };
    std::string name = stem + extension;
    for (uint64_t suffix = 1; taken(name); ++suffix)
        name = stem + "_" + std::to_string(suffix) + extension;
    doc.textureFiles.emplace_back(name, texture.data);
    return name;
}

void appendMaterial(ObjDocument& doc, const Scene& scene, const Material& material) {
    std::string& out = doc.mtlText;
    out += "\nnewmtl " + safeNameOrUnnamed(material.name) + "\n";
    appendFormat(out, "Kd %.6g %.6g %.6g\n", double(material.baseColor.r), double(material.baseColor.g),
                 double(material.baseColor.b));
    out += "Ka 0 0 0\n";
    const float specular = material.metallic * 0.96f + 0.04f;
    appendFormat(out, "Ks %.6g %.6g %.6g\n", double(specular), double(specular), double(specular));
    const float gloss = 1.0f - material.roughness;
    const float shininess = std::clamp(gloss * gloss * 1000.0f, 0.0f, 1000.0f);
    appendFormat(out, "Ns %.6g\nd %.6g\nillum 2\n", double(shininess), double(material.baseColor.a));
    appendFormat(out, "Pr %.6g\nPm %.6g\n", double(material.roughness), double(material.metallic));

    const int32_t t = material.baseColorTexture;
    if (t < 0 || size_t(t) >= scene.textures.size() || !hasImage(scene.textures[size_t(t)]))
        return;
    const std::string file = textureFileName(doc, scene.textures[size_t(t)]);
    // The UV rotation has no MTL form and is left out.
    if (material.uvScale == glm::vec2(1.0f, 1.0f) && material.uvOffset == glm::vec2(0.0f, 0.0f)) {
        out += "map_Kd " + file + "\n";
    } else {
        appendFormat(out, "map_Kd -o %.6g %.6g 0 -s %.6g %.6g 1 %s\n", double(material.uvOffset.x),
                     double(1.0f - material.uvScale.y - material.uvOffset.y), double(material.uvScale.x),
                     double(material.uvScale.y), file.c_str());
    }
}

} // namespace

ObjDocument buildObj(const Scene& scene, const ExportOptions& options, const std::string& mtlFileName) {
    ObjDocument doc;
    doc.mtlFileName = mtlFileName;
    std::vector<uint32_t> sortedIds = options.selectedIds;
    std::sort(sortedIds.begin(), sortedIds.end());

    // First pass: the materials in use and a size estimate for the text.
    std::set<int32_t> usedMaterials;
    size_t estimate = 64;
    for (const auto& object : scene.objects) {
        if (!isExported(*object, options, sortedIds))
            continue;
        if (validMaterial(scene, object->material))
            usedMaterials.insert(object->material);
        estimate += object->mesh->vertices.size() * 64 + object->mesh->faces.size() * 48;
    }

    std::string& out = doc.objText;
    out.reserve(estimate);
    out += std::string("# Exported by ") + kAppName + " " + kAppVersion + "\n# Units: meters, +Y up\n";
    if (!usedMaterials.empty())
        out += "mtllib " + mtlFileName + "\n";

    ObjWriter writer(out);
    for (const auto& object : scene.objects) {
        if (!isExported(*object, options, sortedIds))
            continue;
        ++doc.meshCount;
        std::string materialName;
        const bool withMaterial = validMaterial(scene, object->material);
        if (withMaterial)
            materialName = safeNameOrUnnamed(scene.materials[size_t(object->material)].name);
        writer.writeObject(*object, scene.worldMatrix(object->id), withMaterial ? &materialName : nullptr);
    }

    if (!usedMaterials.empty()) {
        doc.mtlText = std::string("# Exported by ") + kAppName + " " + kAppVersion + "\n";
        for (int32_t index : usedMaterials)
            appendMaterial(doc, scene, scene.materials[size_t(index)]);
    }
    return doc;
}

// [SECTION] Writing files

bool exportObj(const Scene& scene, const std::string& objPath, const ExportOptions& options, std::string* error,
               int32_t* exportedCount) {
    const std::string mtlPath = replaceExtension(objPath, ".mtl");
    const ObjDocument doc = buildObj(scene, options, fileName(mtlPath));
    if (doc.meshCount == 0) {
        if (error)
            *error = options.selectedOnly ? "No mesh objects are selected." : "The scene contains no mesh objects.";
        return false;
    }

    if (!writeFileAtomic(objPath, doc.objText.data(), doc.objText.size(), error))
        return false;
    if (!doc.mtlText.empty() && !writeFileAtomic(mtlPath, doc.mtlText.data(), doc.mtlText.size(), error))
        return false;
    const std::filesystem::path folder = pathFromUtf8(objPath).parent_path();
    for (const auto& [name, data] : doc.textureFiles) {
        const std::string path = pathToUtf8(folder / pathFromUtf8(name));
        if (!writeFileAtomic(path, data->bytes.data(), data->bytes.size(), error))
            return false;
    }
    if (exportedCount)
        *exportedCount = doc.meshCount;
    return true;
}

} // namespace orva::io
