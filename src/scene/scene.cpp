#include "scene/scene.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_set>
#include <utility>

namespace orva {

namespace {

// Every upward walk stops after this many steps, so a corrupted parent cycle cannot hang us.
constexpr int kMaxWalk = 4096;

// The one id never handed out: taking it would wrap nextId to kInvalidObject.
constexpr uint32_t kLastId = std::numeric_limits<uint32_t>::max();

std::atomic<uint64_t> gNextTextureDataId{1};

} // namespace

const char* objectTypeName(ObjectType type) {
    switch (type) {
    case ObjectType::Mesh:
        return "Mesh";
    case ObjectType::Camera:
        return "Camera";
    case ObjectType::Light:
        return "Light";
    case ObjectType::SpawnPoint:
        return "Spawn Point";
    }
    return "Unknown";
}

const char* lightTypeName(LightType type) {
    switch (type) {
    case LightType::Point:
        return "Point";
    case LightType::Directional:
        return "Directional";
    case LightType::Spot:
        return "Spot";
    }
    return "Unknown";
}

std::shared_ptr<const TextureData> makeTextureData(std::string mimeType, std::vector<uint8_t> bytes, int width,
                                                   int height) {
    auto data = std::make_shared<TextureData>();
    data->mimeType = std::move(mimeType);
    data->bytes = std::move(bytes);
    data->width = width;
    data->height = height;
    data->id = gNextTextureDataId.fetch_add(1, std::memory_order_relaxed);
    return data;
}

// ---------------------------------------------------------------------------------------------
// SceneObject

SceneObject::SceneObject(uint32_t id, ObjectType type, std::string name) : name(std::move(name)), id(id), type(type) {
    if (type == ObjectType::Mesh)
        mesh = std::make_unique<Mesh>();
}

SceneObject::SceneObject(const SceneObject& other)
    : name(other.name), transform(other.transform), parent(other.parent), visible(other.visible),
      mesh(other.mesh ? std::make_unique<Mesh>(*other.mesh) : nullptr), material(other.material),
      yfovDeg(other.yfovDeg), znear(other.znear), zfar(other.zfar), lightType(other.lightType), color(other.color),
      intensity(other.intensity), range(other.range), innerConeDeg(other.innerConeDeg),
      outerConeDeg(other.outerConeDeg), id(other.id), type(other.type) {}

SceneObject& SceneObject::operator=(SceneObject other) noexcept {
    swap(other);
    return *this;
}

void SceneObject::swap(SceneObject& other) noexcept {
    using std::swap;
    swap(name, other.name);
    swap(transform, other.transform);
    swap(parent, other.parent);
    swap(visible, other.visible);
    swap(mesh, other.mesh);
    swap(material, other.material);
    swap(yfovDeg, other.yfovDeg);
    swap(znear, other.znear);
    swap(zfar, other.zfar);
    swap(lightType, other.lightType);
    swap(color, other.color);
    swap(intensity, other.intensity);
    swap(range, other.range);
    swap(innerConeDeg, other.innerConeDeg);
    swap(outerConeDeg, other.outerConeDeg);
    swap(id, other.id);
    swap(type, other.type);
}

// ---------------------------------------------------------------------------------------------
// Scene: copying and lifetime

Scene::Scene(const Scene& other) : materials(other.materials), textures(other.textures), nextId(other.nextId) {
    objects.reserve(other.objects.size());
    for (const auto& object : other.objects)
        objects.push_back(std::make_unique<SceneObject>(*object));
}

Scene& Scene::operator=(Scene other) noexcept {
    swap(other);
    return *this;
}

void Scene::swap(Scene& other) noexcept {
    using std::swap;
    swap(materials, other.materials);
    swap(textures, other.textures);
    swap(objects, other.objects);
    swap(nextId, other.nextId);
}

void Scene::clear() {
    objects.clear();
    materials.clear();
    textures.clear();
    nextId = 1;
}

// ---------------------------------------------------------------------------------------------
// Scene: creating, naming and finding objects

SceneObject* Scene::createObject(ObjectType type, const std::string& baseName) {
    if (nextId == kInvalidObject || nextId == kLastId)
        return nullptr;
    const uint32_t id = nextId++;
    objects.push_back(std::make_unique<SceneObject>(id, type, makeUniqueName(baseName)));
    return objects.back().get();
}

SceneObject* Scene::createObjectWithId(uint32_t id, ObjectType type, const std::string& name) {
    if (id == kInvalidObject || id == kLastId || find(id))
        return nullptr;
    objects.push_back(std::make_unique<SceneObject>(id, type, name));
    if (nextId <= id)
        nextId = id + 1;
    return objects.back().get();
}

std::string Scene::makeUniqueName(const std::string& base) const {
    std::string name = base.empty() ? std::string("Object") : base;
    if (!nameExists(name))
        return name;

    // A numeric suffix (Cube.004) is replaced rather than stacked (Cube.004.001).
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot + 1 < name.size() &&
        name.find_first_not_of("0123456789", dot + 1) == std::string::npos)
        name.resize(dot);

    std::unordered_set<std::string> taken;
    taken.reserve(objects.size());
    for (const auto& object : objects)
        taken.insert(object->name);
    char suffix[16];
    for (int n = 1; n <= 99999; ++n) {
        std::snprintf(suffix, sizeof suffix, ".%03d", n);
        std::string candidate = name + suffix;
        if (!taken.count(candidate))
            return candidate;
    }
    return name;
}

bool Scene::nameExists(const std::string& name) const {
    for (const auto& object : objects)
        if (object->name == name)
            return true;
    return false;
}

SceneObject* Scene::find(uint32_t id) { return const_cast<SceneObject*>(std::as_const(*this).find(id)); }

const SceneObject* Scene::find(uint32_t id) const {
    if (id == kInvalidObject)
        return nullptr;
    for (const auto& object : objects)
        if (object->id == id)
            return object.get();
    return nullptr;
}

SceneObject* Scene::duplicateObject(uint32_t id) {
    if (nextId == kInvalidObject || nextId == kLastId)
        return nullptr;
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->id != id || id == kInvalidObject)
            continue;
        auto copy = std::make_unique<SceneObject>(*objects[i]);
        copy->id = nextId++;
        copy->name = makeUniqueName(objects[i]->name);
        auto it = objects.insert(objects.begin() + std::ptrdiff_t(i) + 1, std::move(copy));
        return it->get();
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Scene: hierarchy

bool Scene::removeObject(uint32_t id) {
    const SceneObject* object = find(id);
    if (!object)
        return false;
    // Children move up to the removed object's effective parent: a parent id naming no object
    // means the object was a root, so its children become roots (setParent would refuse the
    // missing id and leave them under a vanished parent, losing their world placement).
    const uint32_t newParent = find(object->parent) ? object->parent : kInvalidObject;
    for (uint32_t child : childrenOf(id))
        setParent(child, newParent, true);
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        if ((*it)->id == id) {
            objects.erase(it);
            break;
        }
    }
    return true;
}

bool Scene::setParent(uint32_t child, uint32_t parent, bool keepWorld) {
    if (child == kInvalidObject || parent == child)
        return false;
    SceneObject* object = find(child);
    if (!object)
        return false;
    if (parent != kInvalidObject) {
        const SceneObject* p = find(parent);
        if (!p)
            return false;
        // Walk up from the new parent: meeting the child means a cycle. A walk that does not reach
        // a root within the limit cannot prove there is none, so it is refused as well.
        bool reachedRoot = false;
        for (int step = 0; step < kMaxWalk; ++step) {
            if (p->id == child)
                return false;
            p = find(p->parent);
            if (!p) {
                reachedRoot = true;
                break;
            }
        }
        if (!reachedRoot)
            return false;
    }
    const glm::mat4 world = worldMatrix(child);
    object->parent = parent;
    if (keepWorld)
        setWorldMatrix(child, world);
    return true;
}

std::vector<uint32_t> Scene::childrenOf(uint32_t id) const {
    std::vector<uint32_t> result;
    for (const auto& object : objects) {
        const bool match =
            id == kInvalidObject ? (object->parent == kInvalidObject || !find(object->parent)) : object->parent == id;
        if (match)
            result.push_back(object->id);
    }
    return result;
}

glm::mat4 Scene::worldMatrix(uint32_t id) const {
    const SceneObject* object = find(id);
    if (!object)
        return glm::mat4(1.0f);
    glm::mat4 m = object->transform.matrix();
    for (int combined = 1; combined < kMaxWalk; ++combined) {
        if (object->parent == kInvalidObject)
            break;
        object = find(object->parent);
        if (!object)
            break;
        m = object->transform.matrix() * m;
    }
    return m;
}

glm::mat4 Scene::parentWorldMatrix(uint32_t id) const {
    const SceneObject* object = find(id);
    if (!object)
        return glm::mat4(1.0f);
    return worldMatrix(object->parent);
}

void Scene::setWorldMatrix(uint32_t id, const glm::mat4& world) {
    SceneObject* object = find(id);
    if (!object)
        return;
    const glm::mat4 local = glm::inverse(worldMatrix(object->parent)) * world;
    // Under a parent scaled to zero there is no local placement giving `world`: keep the
    // transform rather than fill it with infinities and NaNs.
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(local[c][r]))
                return;
    object->transform.fromMatrix(local);
}

bool Scene::isAncestor(uint32_t ancestor, uint32_t id) const {
    const SceneObject* object = find(id);
    for (int step = 0; object && step < kMaxWalk; ++step) {
        if (object->parent == ancestor)
            return true;
        if (object->parent == kInvalidObject)
            return false;
        object = find(object->parent);
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Scene: textures and materials

int Scene::addTexture(Texture texture) {
    // Only a real image is shared: textures without data are distinct entries (they may differ
    // in name and path).
    if (texture.data) {
        for (size_t i = 0; i < textures.size(); ++i)
            if (textures[i].data == texture.data)
                return int(i);
    }
    textures.push_back(std::move(texture));
    return int(textures.size()) - 1;
}

int Scene::defaultMaterialIndex() {
    if (materials.empty()) {
        Material material;
        material.name = "Material";
        materials.push_back(std::move(material));
    }
    return 0;
}

} // namespace orva
