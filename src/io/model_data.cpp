#include "io/model_data.h"

#include <cstring>
#include <type_traits>

namespace orva::io {

namespace {

constexpr char kMagic[8] = {'O', 'R', 'V', 'A', 'M', 'D', 'L', '1'};
constexpr int32_t kMaxTextureSize = 16384;

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    template <typename T> void put(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        out_.append(reinterpret_cast<const char*>(&value), sizeof(T));
    }
    void putBytes(const void* data, size_t size) { out_.append(static_cast<const char*>(data), size); }
    void putString(const std::string& s) {
        put(uint32_t(s.size()));
        putBytes(s.data(), s.size());
    }

private:
    std::string& out_;
};

// Every read checks the remaining length; after the first failure all reads fail.
class Reader {
public:
    Reader(const char* data, size_t size) : p_(data), end_(data + size) {}

    bool ok() const { return ok_; }
    size_t left() const { return size_t(end_ - p_); }
    bool atEnd() const { return p_ == end_; }

    template <typename T> bool get(T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return getBytes(&value, sizeof(T));
    }
    bool getBytes(void* out, size_t size) {
        if (!ok_ || left() < size)
            return ok_ = false;
        if (size)
            std::memcpy(out, p_, size);
        p_ += size;
        return true;
    }
    bool getString(std::string& s) {
        uint32_t size = 0;
        if (!get(size) || left() < size)
            return ok_ = false;
        s.assign(p_, size);
        p_ += size;
        return true;
    }
    // A count of elements that each take at least `minBytes`: refuses counts the remaining bytes
    // cannot hold, so a damaged count never turns into a huge allocation.
    bool getCount(uint32_t& count, size_t minBytes) {
        if (!get(count) || size_t(count) > left() / minBytes)
            return ok_ = false;
        return true;
    }
    bool fail() { return ok_ = false; }

private:
    const char* p_;
    const char* end_;
    bool ok_ = true;
};

void encodeMaterial(Writer& w, const Material& m) {
    w.putString(m.name);
    w.put(m.baseColor);
    w.put(m.metallic);
    w.put(m.roughness);
    w.put(m.baseColorTexture);
    w.put(m.uvScale);
    w.put(m.uvOffset);
    w.put(m.uvRotationDeg);
}

bool decodeMaterial(Reader& r, Material& m, size_t textureCount) {
    if (!(r.getString(m.name) && r.get(m.baseColor) && r.get(m.metallic) && r.get(m.roughness) &&
          r.get(m.baseColorTexture) && r.get(m.uvScale) && r.get(m.uvOffset) && r.get(m.uvRotationDeg)))
        return false;
    return m.baseColorTexture >= -1 && (m.baseColorTexture < 0 || size_t(m.baseColorTexture) < textureCount);
}

template <typename T> void putArray(Writer& w, const std::vector<T>& v) {
    w.put(uint32_t(v.size()));
    w.putBytes(v.data(), v.size() * sizeof(T));
}

template <typename T> bool getArray(Reader& r, std::vector<T>& v) {
    uint32_t count = 0;
    if (!r.getCount(count, sizeof(T)))
        return false;
    v.resize(count);
    return r.getBytes(v.data(), size_t(count) * sizeof(T));
}

void encodeMesh(Writer& w, const ModelMesh& mesh) {
    putArray(w, mesh.positions);
    putArray(w, mesh.cornerCounts);
    putArray(w, mesh.faceFlags);
    putArray(w, mesh.corners);
    putArray(w, mesh.uvs);
}

bool decodeMesh(Reader& r, ModelMesh& mesh) {
    if (!(getArray(r, mesh.positions) && getArray(r, mesh.cornerCounts) && getArray(r, mesh.faceFlags) &&
          getArray(r, mesh.corners) && getArray(r, mesh.uvs)))
        return false;
    if (mesh.faceFlags.size() != mesh.cornerCounts.size() || mesh.uvs.size() != mesh.corners.size())
        return r.fail();
    uint64_t total = 0;
    for (uint32_t n : mesh.cornerCounts) {
        if (n < 3)
            return r.fail();
        total += n;
    }
    if (total != mesh.corners.size())
        return r.fail();
    const size_t vertexCount = mesh.positions.size();
    for (uint32_t i : mesh.corners)
        if (i >= vertexCount)
            return r.fail();
    return true;
}

} // namespace

Mesh ModelMesh::toMesh() const {
    Mesh mesh;
    mesh.vertices.resize(positions.size());
    for (size_t i = 0; i < positions.size(); ++i)
        mesh.vertices[i].position = positions[i];
    mesh.faces.resize(cornerCounts.size());
    size_t at = 0;
    for (size_t f = 0; f < cornerCounts.size(); ++f) {
        Face& face = mesh.faces[f];
        const size_t n = cornerCounts[f];
        face.indices.assign(corners.begin() + std::ptrdiff_t(at), corners.begin() + std::ptrdiff_t(at + n));
        if (faceFlags[f] & kHasUvs)
            face.uvs.assign(uvs.begin() + std::ptrdiff_t(at), uvs.begin() + std::ptrdiff_t(at + n));
        face.smooth = (faceFlags[f] & kSmooth) != 0;
        at += n;
    }
    return mesh;
}

void encodeModelData(const ModelData& model, std::string& out) {
    out.clear();
    size_t estimate = 1024;
    for (const Texture& t : model.textures)
        estimate += t.name.size() + 64 + (t.data ? t.data->bytes.size() : 0);
    for (const ModelObject& o : model.objects) {
        const ModelMesh& m = o.mesh;
        estimate += o.name.size() + 128 + m.positions.size() * sizeof(glm::vec3) + m.cornerCounts.size() * 5 +
                    m.corners.size() * (sizeof(uint32_t) + sizeof(glm::vec2));
    }
    out.reserve(estimate);
    Writer w(out);
    w.putBytes(kMagic, sizeof(kMagic));
    w.put(uint32_t(model.textures.size()));
    for (const Texture& t : model.textures) {
        static const std::vector<uint8_t> kNoBytes;
        const std::vector<uint8_t>& bytes = t.data ? t.data->bytes : kNoBytes;
        w.putString(t.name);
        w.putString(t.data ? t.data->mimeType : std::string());
        w.put(t.data ? t.data->width : 0);
        w.put(t.data ? t.data->height : 0);
        w.put(uint64_t(bytes.size()));
        w.putBytes(bytes.data(), bytes.size());
    }
    w.put(uint32_t(model.materials.size()));
    for (const Material& m : model.materials)
        encodeMaterial(w, m);
    w.put(uint32_t(model.objects.size()));
    for (const ModelObject& o : model.objects) {
        w.putString(o.name);
        w.put(o.parent);
        w.put(o.world);
        w.put(o.material);
        w.put(uint8_t(o.visible ? 1 : 0));
        encodeMesh(w, o.mesh);
    }
    w.put(uint32_t(model.warnings.size()));
    for (const std::string& s : model.warnings)
        w.putString(s);
}

bool decodeModelData(const char* data, size_t size, ModelData& out, std::string* error) {
    ModelData model;
    Reader r(data, size);
    auto fail = [&]() {
        if (error)
            *error = "the model data is damaged";
        return false;
    };

    char magic[sizeof(kMagic)];
    if (!r.getBytes(magic, sizeof(magic)) || std::memcmp(magic, kMagic, sizeof(kMagic)) != 0)
        return fail();

    uint32_t count = 0;
    if (!r.getCount(count, 4 + 4 + 4 + 4 + 8))
        return fail();
    model.textures.resize(count);
    for (Texture& t : model.textures) {
        std::string mime;
        int32_t width = 0, height = 0;
        uint64_t byteCount = 0;
        if (!(r.getString(t.name) && r.getString(mime) && r.get(width) && r.get(height) && r.get(byteCount)))
            return fail();
        if ((mime != "image/png" && mime != "image/jpeg") || width < 1 || width > kMaxTextureSize || height < 1 ||
            height > kMaxTextureSize || byteCount == 0 || byteCount > r.left())
            return fail();
        std::vector<uint8_t> bytes(static_cast<size_t>(byteCount));
        r.getBytes(bytes.data(), bytes.size());
        t.data = makeTextureData(std::move(mime), std::move(bytes), width, height);
    }

    if (!r.getCount(count, 4 + 16 + 4 + 4 + 4 + 8 + 8 + 4))
        return fail();
    model.materials.resize(count);
    for (Material& m : model.materials)
        if (!decodeMaterial(r, m, model.textures.size()))
            return fail();

    if (!r.getCount(count, 4 + 4 + 64 + 4 + 1 + 5 * 4))
        return fail();
    model.objects.resize(count);
    for (size_t i = 0; i < model.objects.size(); ++i) {
        ModelObject& o = model.objects[i];
        uint8_t visible = 0;
        if (!(r.getString(o.name) && r.get(o.parent) && r.get(o.world) && r.get(o.material) && r.get(visible)))
            return fail();
        if (o.parent < -1 || (o.parent >= 0 && size_t(o.parent) >= i) || o.material < -1 ||
            (o.material >= 0 && size_t(o.material) >= model.materials.size()))
            return fail();
        o.visible = visible != 0;
        if (!decodeMesh(r, o.mesh))
            return fail();
    }

    if (!r.getCount(count, 4))
        return fail();
    model.warnings.resize(count);
    for (std::string& s : model.warnings)
        if (!r.getString(s))
            return fail();
    if (!r.atEnd())
        return fail();
    out = std::move(model);
    return true;
}

} // namespace orva::io
