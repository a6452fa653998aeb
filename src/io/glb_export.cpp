#include "io/glb_export.h"

#include "io/file_utils.h"
#include "version.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include <nlohmann/json.hpp>

// [SECTION] Working state
// [SECTION] Choosing objects
// [SECTION] Binary buffer: meshes and images
// [SECTION] glTF value limits
// [SECTION] Hierarchy and node transforms
// [SECTION] glTF JSON
// [SECTION] GLB container

namespace orva::io {

namespace {

// Keys keep the order they were added in, and numbers are single precision: the values we export
// are floats, and a float dumped as a double would turn 0.8 into 0.800000011920929.
using Json =
    nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t, std::uint64_t, float>;

constexpr int kComponentFloat = 5126;
constexpr int kComponentUnsignedInt = 5125;
constexpr int kTargetArrayBuffer = 34962;
constexpr int kTargetElementArrayBuffer = 34963;
constexpr int kMaxParentWalk = 4096;

constexpr uint32_t kGlbMagic = 0x46546C67;    // "glTF"
constexpr uint32_t kChunkJson = 0x4E4F534A;   // "JSON"
constexpr uint32_t kChunkBinary = 0x004E4942; // "BIN\0"

static_assert(sizeof(glm::vec3) == 12 && sizeof(glm::vec2) == 8, "vertex arrays are copied as packed floats");

// [SECTION] Working state

enum class ViewKind { Vertex, Index, None };

struct PendingView {
    size_t offset = 0; // from the start of the binary buffer
    size_t length = 0;
    ViewKind kind = ViewKind::None;
};

struct PendingAccessor {
    int view = -1;
    int componentType = kComponentFloat;
    const char* type = "VEC3";
    size_t count = 0;
    bool hasMinMax = false;
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
};

struct PendingPrimitive {
    int position = -1;
    int normal = -1;
    int indices = -1;
    int uv = -1;       // -1: no TEXCOORD_0
    int material = -1; // glTF material index, -1: glTF's default material
};

struct GltfBuilder {
    const Scene& scene;

    // Exported objects in scene order; a node's index is its position here.
    std::vector<const SceneObject*> nodes;
    std::unordered_map<uint32_t, int> nodeOfId;
    std::vector<int> meshOfNode;   // -1: no mesh
    std::vector<int> parentOfNode; // -1: a root

    // The binary buffer is written straight into the output, after room left for the container
    // header and a guess of the JSON size; buildGlb moves it once the JSON is known. Each mesh is
    // copied as soon as it is triangulated, so only one triangulated mesh exists at a time.
    std::vector<uint8_t>& out;
    size_t binStart = 0;
    std::vector<PendingView> views;
    std::vector<PendingAccessor> accessors;
    std::vector<PendingPrimitive> primitives; // one per glTF mesh

    std::vector<int> materialMap;       // scene material index -> glTF material index (-1 until used)
    std::vector<int> textureMap;        // scene texture index -> glTF texture/image index (-1 until used)
    std::vector<int32_t> usedMaterials; // scene material indices in glTF order
    std::vector<int32_t> usedTextures;  // scene texture indices in glTF order

    GltfBuilder(const Scene& s, std::vector<uint8_t>& o)
        : scene(s), out(o), materialMap(s.materials.size(), -1), textureMap(s.textures.size(), -1) {}

    size_t bufferLength() const { return out.size() - binStart; }

    bool choose(const ExportOptions& options, std::string* error);
    void addMeshes();
    void addImages();
    void linkHierarchy();
    glm::mat4 localMatrix(int node) const;
    Json makeJson() const;
};

bool hasImage(const Texture& texture) { return texture.data && !texture.data->bytes.empty(); }

bool validMaterial(const Scene& scene, int32_t index) { return index >= 0 && size_t(index) < scene.materials.size(); }

bool validTexture(const Scene& scene, int32_t index) { return index >= 0 && size_t(index) < scene.textures.size(); }

// [SECTION] Choosing objects

bool GltfBuilder::choose(const ExportOptions& options, std::string* error) {
    std::vector<uint32_t> ids = options.selectedIds;
    std::sort(ids.begin(), ids.end());
    for (const auto& object : scene.objects) {
        if (options.selectedOnly && !std::binary_search(ids.begin(), ids.end(), object->id))
            continue;
        // A corrupted scene may repeat an id; a node per id keeps the hierarchy well-defined.
        if (!nodeOfId.emplace(object->id, int(nodes.size())).second)
            continue;
        nodes.push_back(object.get());
    }
    // Ids naming no object count as nothing chosen: a glTF scene needs at least one node.
    if (nodes.empty()) {
        setError(error, options.selectedOnly ? "No objects are selected." : "The scene is empty.");
        return false;
    }
    meshOfNode.assign(nodes.size(), -1);
    parentOfNode.assign(nodes.size(), -1);
    return true;
}

// [SECTION] Binary buffer: meshes and images

// Capacity grows at least geometrically, so many small meshes do not copy the output each time.
void reserveMore(std::vector<uint8_t>& out, size_t extra) {
    const size_t needed = out.size() + extra + 3;
    if (needed > out.capacity())
        out.reserve(std::max(needed, out.capacity() * 2));
}

// Appends `size` bytes from `source` as a new view starting at a multiple of 4 (zero bytes before
// it). With `flipV` the source holds UVs, written with v replaced by 1 - v.
int addView(GltfBuilder& b, const void* source, size_t size, ViewKind kind, bool flipV = false) {
    std::vector<uint8_t>& out = b.out;
    reserveMore(out, size);
    out.resize(b.binStart + ((b.bufferLength() + 3) & ~size_t(3)), 0);
    b.views.push_back(PendingView{b.bufferLength(), size, kind});
    const uint8_t* bytes = static_cast<const uint8_t*>(source);
    if (!flipV) {
        out.insert(out.end(), bytes, bytes + size);
    } else {
        const glm::vec2* uvs = static_cast<const glm::vec2*>(source);
        const size_t count = size / sizeof(glm::vec2);
        glm::vec2 chunk[1024];
        for (size_t first = 0; first < count; first += std::size(chunk)) {
            const size_t n = std::min(std::size(chunk), count - first);
            for (size_t i = 0; i < n; ++i)
                chunk[i] = glm::vec2(uvs[first + i].x, 1.0f - uvs[first + i].y);
            const uint8_t* converted = reinterpret_cast<const uint8_t*>(chunk);
            out.insert(out.end(), converted, converted + n * sizeof(glm::vec2));
        }
    }
    return int(b.views.size() - 1);
}

int addAccessor(std::vector<PendingAccessor>& accessors, int view, int componentType, const char* type, size_t count) {
    PendingAccessor accessor;
    accessor.view = view;
    accessor.componentType = componentType;
    accessor.type = type;
    accessor.count = count;
    accessors.push_back(accessor);
    return int(accessors.size() - 1);
}

void GltfBuilder::addMeshes() {
    for (size_t node = 0; node < nodes.size(); ++node) {
        const SceneObject& object = *nodes[node];
        if (object.type != ObjectType::Mesh || !object.mesh)
            continue;
        const TriangleMesh mesh = object.mesh->triangulate();
        if (mesh.indices.empty())
            continue;
        const size_t count = mesh.positions.size();
        reserveMore(out, count * (12 + 12 + 8) + mesh.indices.size() * 4 + 16);

        PendingPrimitive primitive;
        int view = addView(*this, mesh.positions.data(), count * 12, ViewKind::Vertex);
        primitive.position = addAccessor(accessors, view, kComponentFloat, "VEC3", count);
        PendingAccessor& position = accessors.back();
        position.hasMinMax = true;
        glm::vec3 lo(1e30f), hi(-1e30f);
        for (const glm::vec3& p : mesh.positions) {
            lo = glm::min(lo, p);
            hi = glm::max(hi, p);
        }
        for (int i = 0; i < 3; ++i) {
            position.min[i] = lo[i];
            position.max[i] = hi[i];
        }

        view = addView(*this, mesh.normals.data(), count * 12, ViewKind::Vertex);
        primitive.normal = addAccessor(accessors, view, kComponentFloat, "VEC3", count);

        const bool material = validMaterial(scene, object.material);
        if (object.mesh->hasUVs() || (material && scene.materials[size_t(object.material)].baseColorTexture >= 0)) {
            // The scene's UV origin is the bottom-left corner of the image, glTF's the top-left.
            view = addView(*this, mesh.uvs.data(), count * 8, ViewKind::Vertex, true);
            primitive.uv = addAccessor(accessors, view, kComponentFloat, "VEC2", count);
        }

        view = addView(*this, mesh.indices.data(), mesh.indices.size() * 4, ViewKind::Index);
        primitive.indices = addAccessor(accessors, view, kComponentUnsignedInt, "SCALAR", mesh.indices.size());

        if (material) {
            int& index = materialMap[size_t(object.material)];
            if (index < 0) {
                index = int(usedMaterials.size());
                usedMaterials.push_back(object.material);
            }
            primitive.material = index;
        }
        meshOfNode[node] = int(primitives.size());
        primitives.push_back(primitive);
    }
}

void GltfBuilder::addImages() {
    for (int32_t m : usedMaterials) {
        const int32_t t = scene.materials[size_t(m)].baseColorTexture;
        if (!validTexture(scene, t) || !hasImage(scene.textures[size_t(t)]) || textureMap[size_t(t)] >= 0)
            continue;
        textureMap[size_t(t)] = int(usedTextures.size());
        usedTextures.push_back(t);
        const TextureData& data = *scene.textures[size_t(t)].data;
        addView(*this, data.bytes.data(), data.bytes.size(), ViewKind::None);
    }
}

// [SECTION] glTF value limits

// glTF restricts some values more than the scene does; values the editor itself allows (a 90 degree
// spot cone, equal inner and outer cones, equal clip distances) would otherwise make an invalid
// file. Each value is moved to the nearest one glTF accepts; valid values pass unchanged.

float unitInterval(float v) { return std::clamp(v, 0.0f, 1.0f); }

// Radians with 0 <= inner < outer <= pi/2. The float nearest pi/2 lies above it, so the largest
// outer angle is the float just below.
struct SpotCones {
    float inner;
    float outer;
};
SpotCones spotCones(float innerDeg, float outerDeg) {
    constexpr float kHalfPi = 1.5707962f; // the largest float not above pi/2
    constexpr float kMinOuter = 1e-4f;
    SpotCones cones{innerDeg * kDegToRad, outerDeg * kDegToRad};
    cones.outer = std::clamp(cones.outer, kMinOuter, kHalfPi);
    cones.inner = std::clamp(cones.inner, 0.0f, std::nextafter(cones.outer, 0.0f));
    return cones;
}

// yfov > 0, znear > 0 and zfar > znear.
struct CameraClip {
    float yfov;
    float znear;
    float zfar;
};
CameraClip cameraClip(float yfovDeg, float znear, float zfar) {
    constexpr float kMinimum = 1e-6f;
    CameraClip clip{std::max(yfovDeg * kDegToRad, kMinimum), std::max(znear, kMinimum), zfar};
    clip.zfar = std::max(clip.zfar, std::nextafter(clip.znear, std::numeric_limits<float>::infinity()));
    return clip;
}

// [SECTION] Hierarchy and node transforms

void GltfBuilder::linkHierarchy() {
    for (size_t node = 0; node < nodes.size(); ++node) {
        const SceneObject* object = nodes[node];
        int ancestor = -1;
        const SceneObject* current = object;
        for (int step = 0; step < kMaxParentWalk && current->parent != kInvalidObject; ++step) {
            current = scene.find(current->parent);
            if (!current || current == object)
                break;
            const auto it = nodeOfId.find(current->id);
            if (it != nodeOfId.end()) {
                ancestor = it->second;
                break;
            }
        }
        // A damaged scene can hold a parent cycle; glTF nodes must form a forest, so a link that
        // would close a loop through nodes linked so far is dropped and the node becomes a root.
        for (int up = ancestor, steps = 0; up >= 0 && steps <= int(nodes.size());
             up = parentOfNode[size_t(up)], ++steps) {
            if (up == int(node)) {
                ancestor = -1;
                break;
            }
        }
        parentOfNode[node] = ancestor;
    }
}

// The node's matrix relative to its glTF parent: the world matrix for a root, otherwise the
// product of the local matrices from just below the exported ancestor down to the object. That is
// inverse(ancestor world) x object world, with the transforms of skipped ancestors baked in, but
// it stays finite when an ancestor is scaled to zero and cannot be inverted.
glm::mat4 GltfBuilder::localMatrix(int node) const {
    const SceneObject* object = nodes[size_t(node)];
    const int parent = parentOfNode[size_t(node)];
    if (parent < 0)
        return scene.worldMatrix(object->id);
    const SceneObject* ancestor = nodes[size_t(parent)];
    glm::mat4 m = object->transform.matrix();
    const SceneObject* current = object;
    for (int step = 0; step < kMaxParentWalk; ++step) {
        current = scene.find(current->parent);
        if (!current || current == ancestor)
            break;
        m = current->transform.matrix() * m;
    }
    return m;
}

// [SECTION] glTF JSON

Json floats(std::initializer_list<float> values) {
    Json array = Json::array();
    for (float v : values)
        array.push_back(v);
    return array;
}

const char* lightTypeString(LightType type) {
    switch (type) {
    case LightType::Directional:
        return "directional";
    case LightType::Spot:
        return "spot";
    default:
        return "point";
    }
}

Json GltfBuilder::makeJson() const {
    Json root = Json::object();
    root["asset"] = Json::object();
    root["asset"]["generator"] = std::string(kAppName) + " " + kAppVersion;
    root["asset"]["version"] = "2.0";

    bool usesTextureTransform = false;
    bool usesLights = false;

    // Nodes, cameras and lights, in node order.
    Json jsonNodes = Json::array();
    Json cameras = Json::array();
    Json lights = Json::array();
    Json rootNodes = Json::array();
    std::vector<Json> children(nodes.size(), Json::array());
    for (size_t node = 0; node < nodes.size(); ++node) {
        if (parentOfNode[node] < 0)
            rootNodes.push_back(node);
        else
            children[size_t(parentOfNode[node])].push_back(node);
    }
    for (size_t node = 0; node < nodes.size(); ++node) {
        const SceneObject& object = *nodes[node];
        Json n = Json::object();
        n["name"] = object.name;
        if (!children[node].empty())
            n["children"] = children[node];
        if (meshOfNode[node] >= 0)
            n["mesh"] = meshOfNode[node];

        if (object.type == ObjectType::Camera) {
            const CameraClip clip = cameraClip(object.yfovDeg, object.znear, object.zfar);
            Json perspective = Json::object();
            perspective["yfov"] = clip.yfov;
            perspective["znear"] = clip.znear;
            perspective["zfar"] = clip.zfar;
            Json camera = Json::object();
            camera["name"] = object.name;
            camera["type"] = "perspective";
            camera["perspective"] = perspective;
            n["camera"] = cameras.size();
            cameras.push_back(camera);
        } else if (object.type == ObjectType::Light) {
            Json light = Json::object();
            light["name"] = object.name;
            light["type"] = lightTypeString(object.lightType);
            light["color"] =
                floats({unitInterval(object.color.r), unitInterval(object.color.g), unitInterval(object.color.b)});
            light["intensity"] = std::max(object.intensity, 0.0f);
            // A range of 0 or less means unlimited, which glTF expresses by leaving range out.
            if (object.range > 0.0f)
                light["range"] = object.range;
            if (object.lightType == LightType::Spot) {
                const SpotCones cones = spotCones(object.innerConeDeg, object.outerConeDeg);
                Json spot = Json::object();
                spot["innerConeAngle"] = cones.inner;
                spot["outerConeAngle"] = cones.outer;
                light["spot"] = spot;
            }
            Json extension = Json::object();
            extension["light"] = lights.size();
            n["extensions"]["KHR_lights_punctual"] = extension;
            lights.push_back(light);
            usesLights = true;
        }

        Transform local;
        local.fromMatrix(localMatrix(int(node)));
        glm::quat q = local.rotation();
        const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
        q = length > 0.0f ? glm::quat(q.w / length, q.x / length, q.y / length, q.z / length)
                          : glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
        n["translation"] = floats({local.position.x, local.position.y, local.position.z});
        n["rotation"] = floats({q.x, q.y, q.z, q.w});
        n["scale"] = floats({local.scale.x, local.scale.y, local.scale.z});
        jsonNodes.push_back(std::move(n));
    }

    root["scene"] = 0;
    Json sceneJson = Json::object();
    sceneJson["name"] = "Scene";
    sceneJson["nodes"] = rootNodes;
    root["scenes"] = Json::array({sceneJson});
    root["nodes"] = std::move(jsonNodes);

    if (!primitives.empty()) {
        Json meshes = Json::array();
        for (size_t node = 0; node < nodes.size(); ++node) {
            if (meshOfNode[node] < 0)
                continue;
            const PendingPrimitive& p = primitives[size_t(meshOfNode[node])];
            Json attributes = Json::object();
            attributes["POSITION"] = p.position;
            attributes["NORMAL"] = p.normal;
            if (p.uv >= 0)
                attributes["TEXCOORD_0"] = p.uv;
            Json primitive = Json::object();
            primitive["attributes"] = attributes;
            primitive["indices"] = p.indices;
            if (p.material >= 0)
                primitive["material"] = p.material;
            primitive["mode"] = 4; // triangles
            Json mesh = Json::object();
            mesh["name"] = nodes[node]->name;
            mesh["primitives"] = Json::array({primitive});
            meshes.push_back(std::move(mesh));
        }
        root["meshes"] = std::move(meshes);
    }

    if (!usedMaterials.empty()) {
        Json materials = Json::array();
        for (int32_t index : usedMaterials) {
            const Material& m = scene.materials[size_t(index)];
            Json pbr = Json::object();
            pbr["baseColorFactor"] = floats({unitInterval(m.baseColor.r), unitInterval(m.baseColor.g),
                                             unitInterval(m.baseColor.b), unitInterval(m.baseColor.a)});
            pbr["metallicFactor"] = unitInterval(m.metallic);
            pbr["roughnessFactor"] = unitInterval(m.roughness);
            const int32_t t = m.baseColorTexture;
            if (validTexture(scene, t) && textureMap[size_t(t)] >= 0) {
                Json info = Json::object();
                info["index"] = textureMap[size_t(t)];
                if (m.uvScale != glm::vec2(1.0f, 1.0f) || m.uvOffset != glm::vec2(0.0f, 0.0f) ||
                    m.uvRotationDeg != 0.0f) {
                    Json transform = Json::object();
                    transform["offset"] = floats({m.uvOffset.x, m.uvOffset.y});
                    transform["rotation"] = m.uvRotationDeg * kDegToRad;
                    transform["scale"] = floats({m.uvScale.x, m.uvScale.y});
                    info["extensions"]["KHR_texture_transform"] = transform;
                    usesTextureTransform = true;
                }
                pbr["baseColorTexture"] = info;
            }
            Json material = Json::object();
            material["name"] = m.name;
            material["pbrMetallicRoughness"] = pbr;
            material["alphaMode"] = m.baseColor.a < 1.0f ? "BLEND" : "OPAQUE";
            material["doubleSided"] = false;
            materials.push_back(std::move(material));
        }
        root["materials"] = std::move(materials);
    }

    if (!usedTextures.empty()) {
        Json textures = Json::array();
        Json images = Json::array();
        // Image views follow the mesh views, one per texture in the same order.
        const size_t firstImageView = views.size() - usedTextures.size();
        for (size_t i = 0; i < usedTextures.size(); ++i) {
            const Texture& texture = scene.textures[size_t(usedTextures[i])];
            Json tex = Json::object();
            tex["name"] = texture.name;
            tex["sampler"] = 0;
            tex["source"] = i;
            textures.push_back(std::move(tex));
            Json image = Json::object();
            image["name"] = texture.name;
            image["mimeType"] = texture.data->mimeType;
            image["bufferView"] = firstImageView + i;
            images.push_back(std::move(image));
        }
        Json sampler = Json::object();
        sampler["magFilter"] = 9729; // LINEAR
        sampler["minFilter"] = 9987; // LINEAR_MIPMAP_LINEAR
        sampler["wrapS"] = 10497;    // REPEAT
        sampler["wrapT"] = 10497;
        root["textures"] = std::move(textures);
        root["images"] = std::move(images);
        root["samplers"] = Json::array({sampler});
    }

    if (!cameras.empty())
        root["cameras"] = std::move(cameras);

    if (!accessors.empty()) {
        Json list = Json::array();
        for (const PendingAccessor& a : accessors) {
            Json accessor = Json::object();
            accessor["bufferView"] = a.view;
            accessor["componentType"] = a.componentType;
            accessor["count"] = a.count;
            accessor["type"] = a.type;
            if (a.hasMinMax) {
                accessor["min"] = floats({a.min[0], a.min[1], a.min[2]});
                accessor["max"] = floats({a.max[0], a.max[1], a.max[2]});
            }
            list.push_back(std::move(accessor));
        }
        root["accessors"] = std::move(list);
    }

    if (!views.empty()) {
        Json list = Json::array();
        for (const PendingView& v : views) {
            Json view = Json::object();
            view["buffer"] = 0;
            view["byteOffset"] = v.offset;
            view["byteLength"] = v.length;
            if (v.kind == ViewKind::Vertex)
                view["target"] = kTargetArrayBuffer;
            else if (v.kind == ViewKind::Index)
                view["target"] = kTargetElementArrayBuffer;
            list.push_back(std::move(view));
        }
        root["bufferViews"] = std::move(list);
        Json buf = Json::object();
        buf["byteLength"] = bufferLength();
        root["buffers"] = Json::array({buf});
    }

    Json used = Json::array();
    if (usesLights)
        used.push_back("KHR_lights_punctual");
    if (usesTextureTransform)
        used.push_back("KHR_texture_transform");
    if (!used.empty())
        root["extensionsUsed"] = used;
    if (usesLights)
        root["extensions"]["KHR_lights_punctual"]["lights"] = std::move(lights);
    return root;
}

} // namespace

// [SECTION] GLB container

bool buildGlb(const Scene& scene, const ExportOptions& options, std::vector<uint8_t>& out, std::string* error) {
    out.clear();
    GltfBuilder builder(scene, out);
    if (!builder.choose(options, error))
        return false;
    // Room for the 20 header bytes, a guess of the JSON size and the binary chunk's header.
    const size_t jsonGuess = 4096 + 512 * builder.nodes.size();
    builder.binStart = 20 + jsonGuess + 8;
    out.resize(builder.binStart, 0);
    builder.addMeshes();
    builder.addImages();
    builder.linkHierarchy();

    std::string json;
    try {
        // Names are user text and may hold invalid UTF-8: it becomes U+FFFD instead of failing.
        json = builder.makeJson().dump(-1, ' ', false, Json::error_handler_t::replace);
    } catch (...) {
        json.clear();
    }
    if (json.empty()) {
        setError(error, "Failed to generate glTF JSON.");
        return false;
    }

    json.resize((json.size() + 3) & ~size_t(3), ' ');
    const size_t bufferLength = builder.bufferLength();
    const size_t binLength = (bufferLength + 3) & ~size_t(3);
    const size_t total = 12 + 8 + json.size() + (binLength == 0 ? 0 : 8 + binLength);
    // Every length in the container is a 32-bit field.
    if (total > std::numeric_limits<uint32_t>::max()) {
        setError(error, "The scene is too large for a GLB file (more than 4 GiB).");
        return false;
    }

    // Move the binary buffer to just after the JSON chunk (a no-op only when the guess was exact).
    const size_t binAt = 20 + json.size() + 8;
    if (binLength == 0) {
        out.resize(20 + json.size());
    } else if (binAt < builder.binStart) {
        std::memmove(out.data() + binAt, out.data() + builder.binStart, bufferLength);
        out.resize(binAt + bufferLength);
    } else if (binAt > builder.binStart) {
        out.insert(out.begin() + std::ptrdiff_t(builder.binStart), binAt - builder.binStart, uint8_t(0));
    }
    out.resize(total, 0); // zero padding of the binary chunk

    auto putU32 = [&out](size_t at, uint32_t value) {
        out[at] = uint8_t(value);
        out[at + 1] = uint8_t(value >> 8);
        out[at + 2] = uint8_t(value >> 16);
        out[at + 3] = uint8_t(value >> 24);
    };
    putU32(0, kGlbMagic);
    putU32(4, 2);
    putU32(8, uint32_t(total));
    putU32(12, uint32_t(json.size()));
    putU32(16, kChunkJson);
    std::memcpy(out.data() + 20, json.data(), json.size());
    if (binLength > 0) {
        putU32(binAt - 8, uint32_t(binLength));
        putU32(binAt - 4, kChunkBinary);
    }
    return true;
}

bool exportGlb(const Scene& scene, const std::string& path, const ExportOptions& options, std::string* error) {
    std::vector<uint8_t> bytes;
    if (!buildGlb(scene, options, bytes, error))
        return false;
    return writeFileAtomic(path, bytes.data(), bytes.size(), error);
}

} // namespace orva::io
