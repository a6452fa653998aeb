#include "io/obj_export.h"

#include "io/file_utils.h"
#include "io/float_text.h"
#include "version.h"

#include <algorithm>
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

// Appends text to a string through a raw cursor: the OBJ of a million-face mesh is some hundred
// megabytes written in pieces of a few bytes, where std::string's append would cost a call and a
// capacity check per piece. The string is grown in large steps (zero-filled, then overwritten)
// and cut to the written length by finish().
class TextCursor {
public:
    explicit TextCursor(std::string& text) : text_(text), used_(text.size()) {}

    // A pointer to at least `n` writable bytes at the end of the text; hand the end of what was
    // written to advance().
    char* room(size_t n) {
        if (text_.size() - used_ < n)
            text_.resize(std::max(used_ + n, std::min(text_.capacity(), used_ + (size_t(4) << 20))));
        return text_.data() + used_;
    }
    void advance(const char* end) { used_ = size_t(end - text_.data()); }
    void append(const std::string& piece) {
        char* p = room(piece.size());
        std::memcpy(p, piece.data(), piece.size());
        advance(p + piece.size());
    }
    void finish() { text_.resize(used_); }

private:
    std::string& text_;
    size_t used_;
};

// " %.6g" of the value widened to double.
char* putNumber(char* p, float value) {
    *p++ = ' ';
    return formatG6(p, value);
}

char* putIndex(char* p, uint64_t value) {
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0)
        *p++ = digits[--n];
    return p;
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

// A hint to load the cache line at `p`. GCC sees __builtin_prefetch as free of side effects and
// drops calls to functions that do nothing else; a volatile asm statement is always kept.
inline void prefetchLine(const void* p) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    __builtin_prefetch(p);
#endif
}

// Maps N exact floats to the 1-based index of the line that introduced them. A million-face mesh
// introduces about a million entries, so the table is built for cache misses: slots of 8 bytes
// (hash and index) probed linearly, the keys themselves in a dense array read only when the
// hashes match, and one probe sequence per lookup whether or not the values are new.
template <int N> class ExactTable {
public:
    explicit ExactTable(size_t expected) { rehash(expected); }

    // Starts loading the slot findOrAdd(values) will probe first, so that a lookup issued a little
    // later does not wait for memory.
    void prefetch(const float* values) const { prefetchLine(&slots_[hashOf(makeKey(values)) & mask_]); }

    // The index of `values`; when absent they are added under the next index and `added` is set.
    uint32_t findOrAdd(const float* values, bool& added) {
        const Key key = makeKey(values);
        const uint32_t hash = hashOf(key);
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.index == 0) {
                keys_.push_back(key);
                slot = Slot{hash, uint32_t(keys_.size())};
                added = true;
                if (keys_.size() * 2 > slots_.size())
                    rehash(keys_.size() * 2);
                return uint32_t(keys_.size());
            }
            if (slot.hash == hash && keys_[slot.index - 1] == key) {
                added = false;
                return slot.index;
            }
        }
    }

private:
    struct Key {
        uint32_t bits[N];
        bool operator==(const Key& o) const { return std::memcmp(bits, o.bits, sizeof(bits)) == 0; }
    };
    struct Slot {
        uint32_t hash = 0;
        uint32_t index = 0; // 0: empty
    };

    static Key makeKey(const float* values) {
        Key key;
        for (int i = 0; i < N; ++i)
            key.bits[i] = keyBits(values[i]);
        return key;
    }

    static uint32_t hashOf(const Key& key) {
        uint64_t h = 0x9E3779B97F4A7C15ull;
        for (int i = 0; i < N; ++i)
            h = (h ^ key.bits[i]) * 0xBF58476D1CE4E5B9ull;
        return uint32_t((h ^ (h >> 31)) >> 16);
    }

    // Room for `expected` entries at most half full; slots keep their hash, so no key is read.
    void rehash(size_t expected) {
        size_t size = 1024;
        while (size < expected * 2)
            size <<= 1;
        if (size <= slots_.size())
            return;
        std::vector<Slot> old(size);
        old.swap(slots_);
        mask_ = slots_.size() - 1;
        keys_.reserve(size / 2);
        for (const Slot& slot : old) {
            if (slot.index == 0)
                continue;
            size_t i = slot.hash & mask_;
            while (slots_[i].index != 0)
                i = (i + 1) & mask_;
            slots_[i] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::vector<Key> keys_; // by index - 1
    size_t mask_ = 0;
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

// Object-space normal to a world-space unit normal; a zero or non-finite result (a degenerate
// normal, a matrix that scales an axis to zero) falls back to +Y like every other degenerate normal.
glm::vec3 worldNormal(const glm::mat3& normalMatrix, const glm::vec3& n) {
    const glm::vec3 w = normalMatrix * n;
    const float length = glm::length(w);
    if (!(length > 1e-20f) || !std::isfinite(length))
        return glm::vec3(0.0f, 1.0f, 0.0f);
    return w / length;
}

// The file-wide running state: vertex numbering and the shared "vn" and "vt" tables.
class ObjWriter {
public:
    // Sized for the total vertex count: most meshes have about one normal and one UV per vertex.
    ObjWriter(TextCursor& cursor, size_t vertexCount) : out_(cursor), normals_(vertexCount), uvs_(vertexCount) {}

    void writeObject(const SceneObject& object, const glm::mat4& world, const std::string* materialName);

private:
    // The "vn" index of a world-space unit normal, writing its line when it is new.
    uint32_t normalIndex(const glm::vec3& n) {
        const float values[3] = {n.x, n.y, n.z};
        bool added = false;
        const uint32_t index = normals_.findOrAdd(values, added);
        if (added) {
            char* p = out_.room(4 + 3 * (kFloatG6MaxChars + 1));
            *p++ = 'v';
            *p++ = 'n';
            p = putNumber(putNumber(putNumber(p, n.x), n.y), n.z);
            *p++ = '\n';
            out_.advance(p);
        }
        return index;
    }

    uint32_t uvIndex(const glm::vec2& uv) {
        const float values[2] = {uv.x, uv.y};
        bool added = false;
        const uint32_t index = uvs_.findOrAdd(values, added);
        if (added) {
            char* p = out_.room(4 + 2 * (kFloatG6MaxChars + 1));
            *p++ = 'v';
            *p++ = 't';
            p = putNumber(putNumber(p, uv.x), uv.y);
            *p++ = '\n';
            out_.advance(p);
        }
        return index;
    }

    TextCursor& out_;
    uint64_t vertexBase_ = 0;
    ExactTable<3> normals_;
    ExactTable<2> uvs_;
};

void ObjWriter::writeObject(const SceneObject& object, const glm::mat4& world, const std::string* materialName) {
    const Mesh& mesh = *object.mesh;
    const size_t vertexCount = mesh.vertices.size();

    out_.append("o " + safeNameOrUnnamed(object.name) + "\n");
    for (const Vertex& vertex : mesh.vertices) {
        const glm::vec4 w = world * glm::vec4(vertex.position, 1.0f);
        char* p = out_.room(3 + 3 * (kFloatG6MaxChars + 1));
        *p++ = 'v';
        p = putNumber(putNumber(putNumber(p, w.x), w.y), w.z);
        *p++ = '\n';
        out_.advance(p);
    }
    if (materialName)
        out_.append("usemtl " + *materialName + "\n");
    out_.append("s off\n");

    const glm::mat3 linear(world);
    const glm::mat3 normalMatrix = glm::inverseTranspose(linear);
    const bool mirrored = glm::determinant(linear) < 0.0f;

    // World-space smooth normals, one per vertex, ready before the faces need them (a vertex's
    // normal is the same in every smooth face, so transforming it once gives the same bits).
    bool anySmooth = false;
    for (const Face& face : mesh.faces)
        anySmooth = anySmooth || face.smooth;
    std::vector<glm::vec3> smoothNormals;
    if (anySmooth) {
        smoothNormals = mesh.smoothVertexNormals();
        for (glm::vec3& n : smoothNormals)
            n = worldNormal(normalMatrix, n);
    }

    // Per-vertex memory of table lookups already made. A smooth vertex always has the same normal,
    // and most vertices carry one UV, so most corners need no table lookup at all. The remembered
    // indices are exactly what the tables hold, so the output does not depend on this memory.
    std::vector<uint32_t> smoothIndex(anySmooth ? vertexCount : 0, 0);
    struct UvMemo {
        uint32_t u = 0, v = 0; // keyBits of the UV
        uint32_t index = 0;    // 0: nothing remembered
    };
    std::vector<UvMemo> uvMemo;
    auto memoMatches = [](const UvMemo& memo, const glm::vec2& uv) {
        return memo.index != 0 && memo.u == keyBits(uv.x) && memo.v == keyBits(uv.y);
    };

    // The table lookups of a face a few faces ahead are announced early: with a million distinct
    // normals and UVs nearly every first lookup of a vertex misses the cache.
    constexpr size_t kLookahead = 8;
    auto prefetchFace = [&](const Face& face) {
        const bool withUVs = face.hasUVs() && !uvMemo.empty();
        for (size_t i = 0; i < face.indices.size(); ++i) {
            const uint32_t v = face.indices[i];
            if (v >= vertexCount)
                continue;
            if (face.smooth && smoothIndex[v] == 0)
                normals_.prefetch(&smoothNormals[v].x);
            if (withUVs && !memoMatches(uvMemo[v], face.uvs[i]))
                uvs_.prefetch(&face.uvs[i].x);
        }
    };

    std::vector<uint32_t> corners; // per corner: vertex index, vt index (0: none), vn index
    bool smoothState = false;
    for (uint32_t f = 0; f < mesh.faces.size(); ++f) {
        if (f + kLookahead < mesh.faces.size())
            prefetchFace(mesh.faces[f + kLookahead]);
        const Face& face = mesh.faces[f];
        const size_t n = face.indices.size();
        if (n < 3 || !cornersInRange(face, vertexCount))
            continue;
        if (face.smooth != smoothState) {
            out_.append(face.smooth ? "s 1\n" : "s off\n");
            smoothState = face.smooth;
        }
        // A flat face's normal is the same for every corner: its "vn" (if new) comes out just where
        // the first corner would introduce it, before that corner's "vt".
        const uint32_t flatIndex = face.smooth ? 0 : normalIndex(worldNormal(normalMatrix, mesh.faceNormal(f)));
        const bool withUVs = face.hasUVs();
        if (withUVs && uvMemo.empty())
            uvMemo.resize(vertexCount);

        corners.resize(n * 3);
        for (size_t i = 0; i < n; ++i) {
            const uint32_t v = face.indices[i];
            uint32_t vn = flatIndex;
            if (face.smooth) {
                if (smoothIndex[v] == 0)
                    smoothIndex[v] = normalIndex(smoothNormals[v]);
                vn = smoothIndex[v];
            }
            uint32_t vt = 0;
            if (withUVs) {
                const glm::vec2 uv = face.uvs[i];
                UvMemo& memo = uvMemo[v];
                if (!memoMatches(memo, uv))
                    memo = UvMemo{keyBits(uv.x), keyBits(uv.y), uvIndex(uv)};
                vt = memo.index;
            }
            corners[i * 3] = v;
            corners[i * 3 + 1] = vt;
            corners[i * 3 + 2] = vn;
        }

        // A mirroring transform turns counter-clockwise corners clockwise; reversing the order
        // keeps the faces' fronts on the side their normals point to.
        char* p = out_.room(2 + n * 64);
        *p++ = 'f';
        for (size_t k = 0; k < n; ++k) {
            const uint32_t* c = &corners[(mirrored ? n - 1 - k : k) * 3];
            *p++ = ' ';
            p = putIndex(p, vertexBase_ + c[0] + 1);
            *p++ = '/';
            if (c[1] != 0)
                p = putIndex(p, c[1]);
            *p++ = '/';
            p = putIndex(p, c[2]);
        }
        *p++ = '\n';
        out_.advance(p);
    }
    vertexBase_ += vertexCount;
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
    size_t vertexCount = 0, cornerCount = 0, faceCount = 0;
    for (const auto& object : scene.objects) {
        if (!isExported(*object, options, sortedIds))
            continue;
        if (validMaterial(scene, object->material))
            usedMaterials.insert(object->material);
        vertexCount += object->mesh->vertices.size();
        faceCount += object->mesh->faces.size();
        for (const Face& face : object->mesh->faces)
            cornerCount += face.indices.size();
    }

    // Generous on purpose: growing a string of some hundred megabytes copies it, while reserved
    // pages that are never written cost nothing. A "v", "vn" or "vt" line takes at most 3 x 13 + 3
    // bytes; a corner token rarely more than 24.
    std::string& out = doc.objText;
    out.reserve(256 + vertexCount * 3 * 42 + cornerCount * 24 + faceCount * 8);
    out += std::string("# Exported by ") + kAppName + " " + kAppVersion + "\n# Units: meters, +Y up\n";
    if (!usedMaterials.empty())
        out += "mtllib " + mtlFileName + "\n";

    TextCursor cursor(out);
    ObjWriter writer(cursor, vertexCount);
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
    cursor.finish();

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
