#pragma once

#include "scene/math.h"
#include "scene/mesh.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The content of one open scene: a flat, ordered list of objects linked by parent ids, plus the
// materials and textures they refer to by index. Encoded images are immutable TextureData blocks
// shared by pointer between scenes, undo snapshots and the renderer's texture cache.
namespace orva {

// The object id meaning "none" (a root's parent, an empty active object).
inline constexpr uint32_t kInvalidObject = 0;

enum class ObjectType : int { Mesh = 0, Camera = 1, Light = 2, SpawnPoint = 3 };
enum class LightType : int { Point = 0, Directional = 1, Spot = 2 };

// Display names; any other value gives "Unknown".
const char* objectTypeName(ObjectType type);
const char* lightTypeName(LightType type);

// One encoded image (PNG or JPEG bytes, not pixels). Never changed after creation.
struct TextureData {
    std::string mimeType; // "image/png" or "image/jpeg"
    std::vector<uint8_t> bytes;
    int32_t width = 0;
    int32_t height = 0;
    uint64_t id = 0; // unique within the process; the renderer's texture cache key
};

// Moves the arguments in and stamps a fresh id from a process-wide atomic counter (first value 1).
std::shared_ptr<const TextureData> makeTextureData(std::string mimeType, std::vector<uint8_t> bytes, int width,
                                                   int height);

struct Texture {
    std::string name;
    std::shared_ptr<const TextureData> data; // may be empty: the texture has no image
    std::string path;                        // external file named by the scene file; empty otherwise
};

struct Material {
    std::string name;
    glm::vec4 baseColor{0.8f, 0.8f, 0.8f, 1.0f};
    float metallic = 0.0f;
    float roughness = 0.5f;
    int32_t baseColorTexture = -1; // index into Scene::textures, -1 for none
    glm::vec2 uvScale{1.0f, 1.0f};
    glm::vec2 uvOffset{0.0f, 0.0f};
    float uvRotationDeg = 0.0f;
};

// Every type carries every field; only those of its type are meaningful. Copies are deep: the copy
// owns its own Mesh (with a fresh uid).
struct SceneObject {
    std::string name;
    Transform transform;
    uint32_t parent = kInvalidObject; // an id naming no object counts as a root
    bool visible = true;
    std::unique_ptr<Mesh> mesh; // present for Mesh objects only
    int32_t material = -1;      // index into Scene::materials, -1 for none
    // Camera
    float yfovDeg = 50.0f;
    float znear = 0.1f;
    float zfar = 1000.0f;
    // Light (KHR_lights_punctual units: lux for directional, candela otherwise)
    LightType lightType = LightType::Point;
    glm::vec3 color{1.0f, 1.0f, 1.0f}; // linear RGB
    float intensity = 50.0f;
    float range = 0.0f; // <= 0: unlimited
    float innerConeDeg = 0.0f;
    float outerConeDeg = 45.0f;
    uint32_t id = kInvalidObject;
    ObjectType type = ObjectType::Mesh;

    SceneObject(uint32_t id, ObjectType type, std::string name);
    SceneObject(const SceneObject& other);
    SceneObject(SceneObject&& other) noexcept = default;
    SceneObject& operator=(SceneObject other) noexcept; // copy-and-swap
    ~SceneObject() = default;

    void swap(SceneObject& other) noexcept;
};

// Lookups are linear searches by id and every hierarchy query walks parent ids (at most 4096 steps,
// so a corrupted cycle cannot hang): scenes hold some hundreds of objects. Ids only grow.
class Scene {
public:
    std::vector<Material> materials;
    std::vector<Texture> textures;
    std::vector<std::unique_ptr<SceneObject>> objects; // display order
    uint32_t nextId = 1;

    Scene() = default;
    Scene(const Scene& other); // deep copy; meshes get fresh uids, TextureData stays shared
    Scene(Scene&& other) noexcept = default;
    Scene& operator=(Scene other) noexcept; // copy-and-swap
    ~Scene() = default;

    void swap(Scene& other) noexcept;
    void clear();

    // Takes id nextId and a unique name made from baseName. Ids run from 1 to 0xFFFFFFFE (the last
    // value would wrap nextId to kInvalidObject): null only once they are all used up.
    SceneObject* createObject(ObjectType type, const std::string& baseName);
    // For loading files: null for id 0, 0xFFFFFFFF or an id in use; the name is taken as it is.
    // Raises nextId past id, never lowers it.
    SceneObject* createObjectWithId(uint32_t id, ObjectType type, const std::string& name);

    std::string makeUniqueName(const std::string& base) const;
    bool nameExists(const std::string& name) const;

    SceneObject* find(uint32_t id);
    const SceneObject* find(uint32_t id) const;

    // Inserts a deep copy right after the source, with a new id and a unique name; children stay.
    // Null for a missing id (or when the ids are used up).
    SceneObject* duplicateObject(uint32_t id);
    // Children move up to the removed object's parent (or to the top level when that parent is
    // missing), keeping their world placement.
    bool removeObject(uint32_t id);
    // Refuses a missing child or parent, parent == child and cycles (also when the walk up from
    // the parent does not reach the top within 4096 steps). Parent 0 makes a root.
    bool setParent(uint32_t child, uint32_t parent, bool keepWorld);
    // Children in display order; for id 0 the roots (parent 0 or naming no object).
    std::vector<uint32_t> childrenOf(uint32_t id) const;

    glm::mat4 worldMatrix(uint32_t id) const;       // identity for 0 or a missing id
    glm::mat4 parentWorldMatrix(uint32_t id) const; // identity for roots, 0 and missing ids
    // Nothing for 0, a missing id, or a parent whose world matrix cannot be inverted (zero scale).
    void setWorldMatrix(uint32_t id, const glm::mat4& world);
    bool isAncestor(uint32_t ancestor, uint32_t id) const; // an object is not its own ancestor

    // Returns the index of a texture already holding the same TextureData (pointer identity), or
    // appends. Textures without data are never merged.
    int addTexture(Texture texture);
    // Adds a default "Material" when there is none; always 0.
    int defaultMaterialIndex();
};

} // namespace orva
