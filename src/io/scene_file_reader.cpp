// Reading ".orva" scene files. Old, newer, incomplete and damaged documents are read by two
// kinds of lookup:
// - typed lookups (strings, numbers, booleans, number arrays) take their fallback when the key
//   is missing or null or the value looked in is not an object, and fail the whole read when the
//   value has the wrong type;
// - section lookups (the lists, "formatVersion", "transform", "camera", "light", "uvTransform",
//   "viewport" and the vectors) fail the read when the value looked in is not an object, and
//   otherwise yield the stored value as it is, or a fallback when the key is missing.
// Type failures travel as the JSON library's own exceptions, so their texts name the library's
// error (302 "type must be number, but is string", 306 "cannot use value() with null").

#include "io/base64.h"
#include "io/file_utils.h"
#include "io/image.h"
#include "io/json_reader.h"
#include "io/scene_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <new>
#include <system_error>

namespace orva::io {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

const json& emptyObject() {
    static const json kEmpty = json::object();
    return kEmpty;
}

// [SECTION] Lookups

// Section lookup: null when the key is missing (the caller picks the fallback).
const json* section(const json& in, const char* key) {
    if (!in.is_object())
        throw json::type_error::create(306, std::string("cannot use value() with ") + in.type_name(), nullptr);
    const auto it = in.find(key);
    return it == in.end() ? nullptr : &*it;
}

const json& sectionOrEmpty(const json& in, const char* key) {
    const json* v = section(in, key);
    return v ? *v : emptyObject();
}

// Typed lookup: the value when `in` is an object holding `key` with a non-null value, else null.
const json* member(const json& in, const char* key) {
    if (!in.is_object())
        return nullptr;
    const auto it = in.find(key);
    return it == in.end() || it->is_null() ? nullptr : &*it;
}

[[noreturn]] void throwWrongType(const char* wanted, const json& v) {
    throw json::type_error::create(302, std::string("type must be ") + wanted + ", but is " + v.type_name(), nullptr);
}

// Numbers of any kind and booleans (as 0 or 1); anything else fails the read.
double toDouble(const json& v) {
    switch (v.type()) {
    case json::value_t::number_float:
        return *v.get_ptr<const double*>();
    case json::value_t::number_unsigned:
        return double(*v.get_ptr<const uint64_t*>());
    case json::value_t::number_integer:
        return double(*v.get_ptr<const int64_t*>());
    case json::value_t::boolean:
        return *v.get_ptr<const bool*>() ? 1.0 : 0.0;
    default:
        throwWrongType("number", v);
    }
}

// Numbers beyond the float range are held at its ends: a scene float is never infinite, so it
// can always be written back (JSON has no infinity).
float toFloat(const json& v) {
    const double d = toDouble(v);
    return float(std::clamp(d, -double(std::numeric_limits<float>::max()), double(std::numeric_limits<float>::max())));
}

// An integer with any fraction cut off, saturated to the 64-bit range.
int64_t toInt64(const json& v) {
    switch (v.type()) {
    case json::value_t::number_integer:
        return *v.get_ptr<const int64_t*>();
    case json::value_t::number_unsigned: {
        const uint64_t u = *v.get_ptr<const uint64_t*>();
        return u > uint64_t(std::numeric_limits<int64_t>::max()) ? std::numeric_limits<int64_t>::max() : int64_t(u);
    }
    default: {
        const double d = std::trunc(toDouble(v));
        if (d >= 9.2e18)
            return std::numeric_limits<int64_t>::max();
        if (d <= -9.2e18)
            return std::numeric_limits<int64_t>::min();
        return int64_t(d);
    }
    }
}

int32_t saturateInt32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

// A vertex index or corner count; values outside the 32-bit range become UINT32_MAX, which is
// never a valid index and never matches a real corner total.
uint32_t toIndex(const json& v) {
    if (v.type() == json::value_t::number_unsigned) {
        const uint64_t u = *v.get_ptr<const uint64_t*>();
        return u > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(u);
    }
    const int64_t i = toInt64(v);
    return i < 0 || i > 0xFFFFFFFFll ? 0xFFFFFFFFu : uint32_t(i);
}

std::string getString(const json& in, const char* key, const char* fallback) {
    const json* v = member(in, key);
    if (!v)
        return fallback;
    if (!v->is_string())
        throwWrongType("string", *v);
    return *v->get_ptr<const std::string*>();
}

float getFloat(const json& in, const char* key, float fallback) {
    const json* v = member(in, key);
    return v ? toFloat(*v) : fallback;
}

int64_t getInt(const json& in, const char* key, int64_t fallback) {
    const json* v = member(in, key);
    return v ? toInt64(*v) : fallback;
}

bool getBool(const json& in, const char* key, bool fallback) {
    const json* v = member(in, key);
    if (!v)
        return fallback;
    if (!v->is_boolean())
        throwWrongType("boolean", *v);
    return *v->get_ptr<const bool*>();
}

// Typed lookup of a number array: empty when missing or null, a failure when not an array.
const json::array_t& getArray(const json& in, const char* key) {
    static const json::array_t kNone;
    const json* v = member(in, key);
    if (!v)
        return kNone;
    if (!v->is_array())
        throwWrongType("array", *v);
    return *v->get_ptr<const json::array_t*>();
}

// "scale" and "offset" of "uvTransform": every element must be a number; taken with 2 of them.
glm::vec2 getVec2(const json& in, const char* key, glm::vec2 fallback) {
    const json::array_t& a = getArray(in, key);
    glm::vec2 out = fallback;
    for (size_t i = 0; i < a.size(); ++i) {
        const float f = toFloat(a[i]);
        if (a.size() == 2)
            out[int(i)] = f;
    }
    return out;
}

// A vector from a section lookup: only an array of exactly N elements replaces the fallback,
// and its elements must be numbers.
template <int N> glm::vec<N, float> jsonToVec(const json* v, glm::vec<N, float> fallback) {
    if (!v || !v->is_array() || v->size() != size_t(N))
        return fallback;
    glm::vec<N, float> out;
    for (int i = 0; i < N; ++i)
        out[i] = toFloat((*v)[size_t(i)]);
    return out;
}

// The elements of a list section: an array's elements, an object's member values in key
// order, nothing for null or a missing key, and any other single value as a one-element list.
std::vector<const json*> listElements(const json& root, const char* key) {
    std::vector<const json*> out;
    const json* v = section(root, key);
    if (!v || v->is_null())
        return out;
    if (v->is_array() || v->is_object()) {
        out.reserve(v->size());
        for (const json& e : *v)
            out.push_back(&e);
    } else {
        out.push_back(v);
    }
    return out;
}

// [SECTION] Textures

// Resolves a texture "path" against the scene file's folder; true only when the file it names
// (after following links) lies inside the project folder, the parent of `baseFolder`.
bool resolveTexturePath(const std::string& baseFolder, const std::string& relative, std::string& resolved) {
    if (relative.find('\0') != std::string::npos)
        return false;
    const fs::path rel = pathFromUtf8(relative);
    if (rel.has_root_directory() || rel.has_root_name())
        return false;
    std::error_code ec;
    fs::path base = fs::absolute(pathFromUtf8(baseFolder), ec).lexically_normal();
    if (ec)
        return false;
    if (!base.has_filename() && base.has_parent_path())
        base = base.parent_path(); // "Scenes/" and "Scenes/." name the same folder as "Scenes"
    const fs::path project = fs::weakly_canonical(base.parent_path(), ec);
    if (ec)
        return false;
    const fs::path candidate = fs::weakly_canonical(base / rel, ec);
    if (ec)
        return false;
    const fs::path inside = candidate.lexically_relative(project);
    if (inside.empty() || *inside.begin() == "..")
        return false;
    resolved = pathToUtf8(candidate);
    return true;
}

// [SECTION] Meshes

// Rebuilds `mesh` from a "mesh" value; false with a reason when the arrays disagree or the
// result is not a valid mesh. Normals are not read: they follow from positions and smooth flags.
bool jsonToMesh(const json& in, Mesh& mesh, std::string& reason) {
    const json::array_t& positions = getArray(in, "positions");
    const json::array_t& counts = getArray(in, "faceVertexCounts");
    const json::array_t& indices = getArray(in, "faceVertexIndices");
    const json::array_t& smooth = getArray(in, "faceSmooth");
    const json::array_t& uvs = getArray(in, "cornerUVs");

    // Convert everything first, so that a wrongly typed element fails the read whatever the
    // array's length.
    std::vector<float> pos(positions.size());
    for (size_t i = 0; i < positions.size(); ++i)
        pos[i] = toFloat(positions[i]);
    std::vector<uint32_t> faceCounts(counts.size());
    uint64_t corners = 0; // 64 bits: 32-bit counts cannot wrap around to a matching total
    for (size_t i = 0; i < counts.size(); ++i) {
        faceCounts[i] = toIndex(counts[i]);
        corners += faceCounts[i];
    }
    std::vector<uint32_t> cornerIndices(indices.size());
    for (size_t i = 0; i < indices.size(); ++i)
        cornerIndices[i] = toIndex(indices[i]);
    std::vector<uint8_t> faceSmooth(smooth.size());
    for (size_t i = 0; i < smooth.size(); ++i)
        faceSmooth[i] = toInt64(smooth[i]) != 0;
    std::vector<float> cornerUvs(uvs.size());
    for (size_t i = 0; i < uvs.size(); ++i)
        cornerUvs[i] = toFloat(uvs[i]);

    if (pos.size() % 3 != 0) {
        reason = "mesh positions array length is not a multiple of 3";
        return false;
    }
    if (corners != cornerIndices.size()) {
        reason = "mesh face index count does not match faceVertexCounts";
        return false;
    }
    if (!cornerUvs.empty() && cornerUvs.size() != 2 * corners) {
        reason = "mesh cornerUVs length does not match the number of face corners";
        return false;
    }

    mesh.vertices.reserve(pos.size() / 3);
    for (size_t i = 0; i + 2 < pos.size(); i += 3)
        mesh.addVertex(glm::vec3(pos[i], pos[i + 1], pos[i + 2]));
    mesh.faces.reserve(faceCounts.size());
    size_t next = 0;
    for (size_t f = 0; f < faceCounts.size(); ++f) {
        const uint32_t c = faceCounts[f];
        std::vector<uint32_t> faceIndices(cornerIndices.begin() + ptrdiff_t(next),
                                          cornerIndices.begin() + ptrdiff_t(next + c));
        std::vector<glm::vec2> faceUvs;
        if (!cornerUvs.empty()) {
            faceUvs.resize(c);
            for (uint32_t k = 0; k < c; ++k)
                faceUvs[k] = glm::vec2(cornerUvs[2 * (next + k)], cornerUvs[2 * (next + k) + 1]);
        }
        mesh.addFace(std::move(faceIndices), std::move(faceUvs), f < faceSmooth.size() && faceSmooth[f]);
        next += c;
    }
    ++mesh.revision;
    return mesh.validate(&reason);
}

// [SECTION] Document

struct ReadFailure {
    std::string message;
};

struct ParentLink {
    uint32_t child;
    int64_t parent;
};

void readDocument(const json& root, ProjectData& out, std::vector<std::string>& warnings,
                  const std::string& baseFolder) {
    // Format and version.
    if (getString(root, "format", "") != "ORVA")
        throw ReadFailure{"The file is not a ORVA project (missing \"format\": \"ORVA\")."};
    const json& version = sectionOrEmpty(root, "formatVersion");
    const int32_t major = saturateInt32(getInt(version, "major", 0));
    const int32_t minor = saturateInt32(getInt(version, "minor", 0));
    if (major != 1)
        throw ReadFailure{"Unsupported ORVA format version " + std::to_string(major) + "." + std::to_string(minor) +
                          " (this build reads version 1.x)."};
    if (minor > 3)
        warnings.push_back("The project was written by a newer ORVA version; newer data will be ignored.");

    Scene scene;

    // Textures: from the project's texture folder when "path" names a file inside it, else from
    // the embedded Base64 data. Type and size always come from the bytes.
    const std::vector<const json*> textures = listElements(root, "textures");
    std::vector<int32_t> textureMap;
    textureMap.reserve(textures.size());
    for (const json* e : textures) {
        const std::string path = getString(*e, "path", "");
        std::string fileText;
        std::string resolved;
        const bool fromFile = !path.empty() && !baseFolder.empty() && resolveTexturePath(baseFolder, path, resolved) &&
                              readFile(resolved, fileText);
        std::vector<uint8_t> bytes;
        bool decoded = true;
        if (fromFile)
            bytes.assign(fileText.begin(), fileText.end());
        else
            decoded = base64Decode(getString(*e, "data", ""), bytes);
        std::string reason;
        std::shared_ptr<const TextureData> data = decoded ? textureFromEncoded(std::move(bytes), &reason) : nullptr;
        if (data) {
            textureMap.push_back(int32_t(scene.textures.size()));
            scene.textures.push_back(Texture{getString(*e, "name", "Texture"), std::move(data), path});
        } else {
            textureMap.push_back(-1);
            warnings.push_back("Texture \"" + getString(*e, "name", "") + "\" could not be read: " + reason);
        }
    }

    // Materials.
    for (const json* e : listElements(root, "materials")) {
        Material m;
        m.name = getString(*e, "name", "Material");
        m.baseColor = jsonToVec<4>(section(*e, "baseColor"), m.baseColor);
        m.metallic = getFloat(*e, "metallic", m.metallic);
        m.roughness = getFloat(*e, "roughness", m.roughness);
        const int64_t texture = getInt(*e, "baseColorTexture", -1);
        m.baseColorTexture = texture >= 0 && uint64_t(texture) < textureMap.size() ? textureMap[size_t(texture)] : -1;
        const json& uv = sectionOrEmpty(*e, "uvTransform");
        m.uvScale = getVec2(uv, "scale", m.uvScale);
        m.uvOffset = getVec2(uv, "offset", m.uvOffset);
        m.uvRotationDeg = getFloat(uv, "rotationDeg", m.uvRotationDeg);
        scene.materials.push_back(std::move(m));
    }

    // Objects.
    std::vector<ParentLink> links;
    for (const json* e : listElements(root, "objects")) {
        const std::string typeText = getString(*e, "type", "");
        ObjectType type;
        if (typeText == "mesh")
            type = ObjectType::Mesh;
        else if (typeText == "camera")
            type = ObjectType::Camera;
        else if (typeText == "light")
            type = ObjectType::Light;
        else if (typeText == "spawn")
            type = ObjectType::SpawnPoint;
        else {
            warnings.push_back("Skipped object of unknown type \"" + typeText + "\".");
            continue;
        }

        const int64_t id = getInt(*e, "id", 0);
        const std::string name = getString(*e, "name", "Object");
        SceneObject* o =
            id > 0 && id <= int64_t(0xFFFFFFFFu) ? scene.createObjectWithId(uint32_t(id), type, name) : nullptr;
        if (!o)
            throw ReadFailure{"Invalid or duplicate object id " + std::to_string(id) + "."};
        o->visible = getBool(*e, "visible", true);
        const json& transform = sectionOrEmpty(*e, "transform");
        o->transform.position = jsonToVec<3>(section(transform, "position"), glm::vec3(0.0f));
        o->transform.rotationEulerDeg = jsonToVec<3>(section(transform, "rotationEulerDeg"), glm::vec3(0.0f));
        o->transform.scale = jsonToVec<3>(section(transform, "scale"), glm::vec3(1.0f));
        const int64_t parent = getInt(*e, "parent", 0);
        if (parent != 0)
            links.push_back({o->id, parent});

        if (type == ObjectType::Camera) {
            const json& camera = sectionOrEmpty(*e, "camera");
            o->yfovDeg = getFloat(camera, "yfovDeg", o->yfovDeg);
            o->znear = getFloat(camera, "znear", o->znear);
            o->zfar = getFloat(camera, "zfar", o->zfar);
        } else if (type == ObjectType::Light) {
            const json& light = sectionOrEmpty(*e, "light");
            const std::string lightType = getString(light, "type", "point");
            o->lightType = lightType == "directional" ? LightType::Directional
                           : lightType == "spot"      ? LightType::Spot
                                                      : LightType::Point;
            o->color = jsonToVec<3>(section(light, "color"), o->color);
            o->intensity = getFloat(light, "intensity", o->intensity);
            o->range = getFloat(light, "range", o->range);
            o->innerConeDeg = getFloat(light, "innerConeDeg", o->innerConeDeg);
            o->outerConeDeg = getFloat(light, "outerConeDeg", o->outerConeDeg);
        } else if (type == ObjectType::Mesh) {
            // A negative index means no material and stays as read.
            int32_t material = saturateInt32(getInt(*e, "material", -1));
            if (material >= 0 && size_t(material) >= scene.materials.size()) {
                warnings.push_back("Object \"" + name + "\" references a missing material.");
                material = -1;
            }
            o->material = material;
            const auto meshIt = e->find("mesh");
            if (meshIt != e->end()) {
                if (!o->mesh)
                    o->mesh = std::make_unique<Mesh>();
                o->mesh->clear();
                std::string reason;
                if (!jsonToMesh(*meshIt, *o->mesh, reason))
                    throw ReadFailure{"Object \"" + name + "\": " + reason};
            }
        }
    }

    // Parent links, now that every object exists. The stored local transforms stay as read.
    for (const ParentLink& link : links) {
        const bool linked = link.parent > 0 && link.parent <= int64_t(0xFFFFFFFFu) &&
                            scene.setParent(link.child, uint32_t(link.parent), false);
        if (!linked)
            warnings.push_back("Ignored invalid parent link of object " + std::to_string(link.child) + ".");
    }

    // The editor camera.
    ProjectViewState view;
    const json& camera = sectionOrEmpty(sectionOrEmpty(root, "viewport"), "camera");
    view.target = jsonToVec<3>(section(camera, "target"), view.target);
    view.distance = getFloat(camera, "distance", view.distance);
    view.yawDeg = getFloat(camera, "yawDeg", view.yawDeg);
    view.pitchDeg = getFloat(camera, "pitchDeg", view.pitchDeg);
    view.fovDeg = getFloat(camera, "fovDeg", view.fovDeg);
    view.orthographic = getBool(camera, "orthographic", view.orthographic);

    out.scene = std::move(scene);
    out.view = view;
}

} // namespace

bool deserializeOrvaProject(const std::string& text, ProjectData& out, std::string* error,
                            std::vector<std::string>* warnings, const std::string& baseFolder) {
    auto fail = [&](std::string message) {
        if (error)
            *error = std::move(message);
        return false;
    };
    json root;
    // Corner normals are written for other readers only: checked as JSON, but never stored.
    if (!parseJson(text, root, "cornerNormals") || !root.is_object())
        return fail("The file is not a valid ORVA project (malformed JSON).");

    ProjectData data;
    std::vector<std::string> found;
    try {
        readDocument(root, data, found, baseFolder);
    } catch (const ReadFailure& failure) {
        return fail(failure.message);
    } catch (const json::exception& e) {
        return fail(std::string("The project file contains invalid data: ") + e.what());
    } catch (const std::bad_alloc&) {
        return fail("The project file is too large to read.");
    }
    out = std::move(data);
    if (warnings)
        warnings->insert(warnings->end(), found.begin(), found.end());
    return true;
}

bool loadOrvaProject(const std::string& path, ProjectData& out, std::string* error,
                     std::vector<std::string>* warnings) {
    std::string text;
    if (!readFile(path, text, error))
        return false;
    // A bare file name lies in the current folder: its textures resolve against ".", not nowhere.
    fs::path folder = pathFromUtf8(path).parent_path();
    if (folder.empty())
        folder = ".";
    return deserializeOrvaProject(text, out, error, warnings, pathToUtf8(folder));
}

} // namespace orva::io
