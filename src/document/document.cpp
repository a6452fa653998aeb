#include "document/document.h"

#include "document/uv_ops.h"
#include "io/file_utils.h"
#include "io/scene_file.h"

#include <algorithm>
#include <glm/gtc/matrix_transform.hpp>
#include <utility>

namespace orva {

namespace {

// Cameras, lights and spawn points look along their local -Z: the object sits at `eye` with -Z
// towards `target` and +Y as close to world +Y as possible.
void placeLookAt(SceneObject& object, const glm::vec3& eye, const glm::vec3& target) {
    object.transform.fromMatrix(glm::inverse(glm::lookAtRH(eye, target, glm::vec3(0.0f, 1.0f, 0.0f))));
}

void leaveEditMode(DocumentState& s) {
    if (s.mode != InteractionMode::Edit)
        return;
    s.mode = InteractionMode::Object;
    s.editObjectId = kInvalidObject;
    s.vertexSelection.clear();
}

io::ProjectViewState viewStateOf(const OrbitCamera& camera) {
    io::ProjectViewState view;
    view.target = camera.target;
    view.distance = camera.distance;
    view.yawDeg = camera.yawDeg;
    view.pitchDeg = camera.pitchDeg;
    view.fovDeg = camera.fovDeg;
    view.orthographic = camera.orthographic;
    return view;
}

} // namespace

Document::Document() { newScene(); }

// [SECTION] Life and files

void Document::newScene() {
    state = DocumentState{};
    undoStack.clear();
    path.clear();
    dirty = false;
    interacting = false;
    interactionStart = DocumentState{};
    setupDefaultScene();
    resetViewCamera();
}

void Document::setupDefaultScene() {
    Scene& scene = state.scene;
    const int material = scene.defaultMaterialIndex();
    Material ground;
    ground.name = "Ground";
    ground.baseColor = glm::vec4(0.2f, 0.26f, 0.18f, 1.0f);
    ground.metallic = 0.0f;
    ground.roughness = 0.9f;
    scene.materials.push_back(ground);
    const int groundMaterial = int(scene.materials.size()) - 1;

    // Generated meshes are moved into the objects' own meshes, which keep their uids.
    SceneObject* plane = scene.createObject(ObjectType::Mesh, "Plane");
    *plane->mesh = primitives::makePlane(20.0f);
    plane->material = groundMaterial;

    SceneObject* cube = scene.createObject(ObjectType::Mesh, "Cube");
    *cube->mesh = primitives::makeCube(2.0f);
    cube->material = material;
    cube->transform.position = glm::vec3(0.0f, 1.0f, 0.0f);

    SceneObject* spawn = scene.createObject(ObjectType::SpawnPoint, "Spawn Point");
    spawn->transform.position = glm::vec3(0.0f, 0.0f, 7.0f);

    SceneObject* camera = scene.createObject(ObjectType::Camera, "Camera");
    placeLookAt(*camera, glm::vec3(7.36f, 5.96f, 6.93f), glm::vec3(0.0f, 1.0f, 0.0f));

    SceneObject* light = scene.createObject(ObjectType::Light, "Light");
    light->lightType = LightType::Point;
    light->transform.position = glm::vec3(4.08f, 5.9f, -1.0f);
    light->intensity = 80.0f;

    state.selection.clear();
    state.selection.add(cube->id);
}

void Document::resetViewCamera() {
    camera.target = glm::vec3(0.0f, 1.0f, 0.0f);
    camera.distance = 16.0f;
    camera.yawDeg = 45.0f;
    camera.pitchDeg = 28.0f;
    camera.fovDeg = 50.0f;
    camera.orthographic = false;
    camera.setView(40.0f, 26.0f);
}

std::string Document::displayName() const { return path.empty() ? std::string("Untitled") : io::fileName(path); }

bool Document::open(const std::string& filePath, std::string* error, std::vector<std::string>* warnings) {
    io::ProjectData data;
    if (!io::loadOrvaProject(filePath, data, error, warnings))
        return false;

    DocumentState fresh;
    fresh.scene = std::move(data.scene);
    state = std::move(fresh);
    undoStack.clear();
    interacting = false;
    interactionStart = DocumentState{};

    // The file's camera, held to the ranges the camera's own operations keep (a distance of 0
    // or a pitch of 90 degrees would make the view matrix degenerate).
    camera.target = data.view.target;
    camera.distance = std::clamp(data.view.distance, 0.01f, 100000.0f);
    camera.fovDeg = data.view.fovDeg;
    camera.orthographic = data.view.orthographic;
    camera.setView(data.view.yawDeg, data.view.pitchDeg);

    path = filePath;
    dirty = false;
    return true;
}

bool Document::save(const std::string& filePath, std::string* error) {
    if (!io::saveOrvaProject(filePath, state.scene, viewStateOf(camera), error))
        return false;
    path = filePath;
    dirty = false;
    return true;
}

// [SECTION] Snapshots

void Document::checkpoint(const std::string& label) {
    undoStack.push(label, state);
    dirty = true;
}

void Document::beginInteraction() {
    if (interacting)
        return;
    interactionStart = state;
    interacting = true;
}

void Document::endInteraction(const std::string& label, bool changed) {
    if (!interacting)
        return;
    interacting = false;
    if (changed) {
        undoStack.push(label, std::move(interactionStart));
        dirty = true;
    }
    interactionStart = DocumentState{};
}

bool Document::undo() {
    if (interacting || !undoStack.undo(state))
        return false;
    dirty = true;
    return true;
}

bool Document::redo() {
    if (interacting || !undoStack.redo(state))
        return false;
    dirty = true;
    return true;
}

// [SECTION] Objects

// The snapshot is taken before the object exists, but pushed only once the scene could make it
// (a scene whose ids are used up makes none): a refused add leaves no undo step and no change.
SceneObject* Document::addObject(const std::string& label, ObjectType type, const std::string& baseName) {
    DocumentState before = state;
    SceneObject* object = state.scene.createObject(type, baseName);
    if (!object)
        return nullptr;
    leaveEditMode(state);
    leaveEditMode(before);
    undoStack.push(label, std::move(before));
    dirty = true;
    return object;
}

void Document::selectOnly(uint32_t id) {
    state.selection.clear();
    state.selection.add(id);
}

SceneObject* Document::addPrimitive(PrimitiveType type) {
    const std::string name = primitiveName(type);
    SceneObject* object = addObject("Add " + name, ObjectType::Mesh, name);
    if (!object)
        return nullptr;
    *object->mesh = primitives::make(type);
    object->material = state.scene.defaultMaterialIndex();
    selectOnly(object->id);
    return object;
}

SceneObject* Document::addCamera() {
    SceneObject* object = addObject("Add Camera", ObjectType::Camera, "Camera");
    if (!object)
        return nullptr;
    placeLookAt(*object, camera.position(), camera.target);
    selectOnly(object->id);
    return object;
}

SceneObject* Document::addLight(LightType type) {
    SceneObject* object = addObject(std::string("Add ") + lightTypeName(type) + " Light", ObjectType::Light, "Light");
    if (!object)
        return nullptr;
    object->lightType = type;
    switch (type) {
    case LightType::Directional:
        placeLookAt(*object, glm::vec3(3.0f, 6.0f, 2.0f), glm::vec3(0.0f));
        object->intensity = 3.0f;
        break;
    case LightType::Spot:
        placeLookAt(*object, glm::vec3(3.0f, 5.0f, 3.0f), glm::vec3(0.0f));
        object->intensity = 100.0f;
        break;
    default:
        object->transform.position = glm::vec3(0.0f, 3.0f, 0.0f);
        break;
    }
    selectOnly(object->id);
    return object;
}

SceneObject* Document::addSpawnPoint() {
    SceneObject* object = addObject("Add Spawn Point", ObjectType::SpawnPoint, "Spawn Point");
    if (!object)
        return nullptr;
    object->transform.position = glm::vec3(camera.target.x, 0.0f, camera.target.z);
    object->transform.rotationEulerDeg = glm::vec3(0.0f, camera.yawDeg, 0.0f);
    selectOnly(object->id);
    return object;
}

bool Document::importModel(const std::string& filePath, io::ImportResult* result, std::string* error) {
    DocumentState before = state;
    io::ImportResult imported;
    if (!io::importModel(state.scene, filePath, &imported, error))
        return false; // the importer left the scene as it was
    leaveEditMode(state);
    leaveEditMode(before);
    undoStack.push("Import " + io::fileName(filePath), std::move(before));
    dirty = true;
    selectObjects(imported.objectIds, SelectOp::Replace);
    if (result)
        *result = std::move(imported);
    return true;
}

uint32_t Document::deleteSelectedObjects() {
    const std::vector<uint32_t> ids = state.selection.ids;
    const bool any = std::any_of(ids.begin(), ids.end(), [&](uint32_t id) { return state.scene.find(id); });
    if (state.mode == InteractionMode::Edit || !any)
        return 0;
    checkpoint("Delete");
    uint32_t removed = 0;
    for (uint32_t id : ids)
        removed += state.scene.removeObject(id) ? 1 : 0;
    state.selection.clear();
    return removed;
}

uint32_t Document::duplicateSelectedObjects() {
    const std::vector<uint32_t> ids = state.selection.ids;
    if (state.mode == InteractionMode::Edit || ids.empty())
        return 0;
    // As for adding: the snapshot is pushed only when at least one copy could be made.
    DocumentState before = state;
    const uint32_t previousActive = state.selection.active;
    std::vector<uint32_t> copies;
    uint32_t activeCopy = kInvalidObject;
    for (uint32_t id : ids) {
        const SceneObject* copy = state.scene.duplicateObject(id);
        if (!copy)
            continue;
        copies.push_back(copy->id);
        if (id == previousActive)
            activeCopy = copy->id;
    }
    if (copies.empty())
        return 0;
    undoStack.push("Duplicate", std::move(before));
    dirty = true;
    state.selection.ids = copies;
    state.selection.active = activeCopy != kInvalidObject ? activeCopy : copies.back();
    return uint32_t(copies.size());
}

void Document::selectObjects(const std::vector<uint32_t>& ids, SelectOp op) {
    ObjectSelection& selection = state.selection;
    if (op == SelectOp::Replace)
        selection.clear();
    for (uint32_t id : ids) {
        if (!state.scene.find(id))
            continue;
        switch (op) {
        case SelectOp::Replace:
        case SelectOp::Add:
            selection.add(id);
            break;
        case SelectOp::Toggle:
            // Unselected: select it. Selected: first make it active, then deselect it.
            if (!selection.contains(id) || selection.active != id)
                selection.add(id);
            else
                selection.remove(id);
            break;
        case SelectOp::Remove:
            selection.remove(id);
            break;
        }
    }
}

void Document::selectAllObjects() {
    const uint32_t previousActive = state.selection.active;
    state.selection.clear();
    for (const auto& object : state.scene.objects)
        state.selection.add(object->id);
    if (state.selection.contains(previousActive))
        state.selection.active = previousActive;
}

bool Document::setParent(uint32_t child, uint32_t parent) {
    const SceneObject* object = state.scene.find(child);
    if (!object || parent == child || object->parent == parent)
        return false;
    // A missing parent is refused here, before the checkpoint, rather than by the scene after it.
    if (parent != kInvalidObject && (!state.scene.find(parent) || state.scene.isAncestor(child, parent)))
        return false;
    checkpoint(parent == kInvalidObject ? "Clear Parent" : "Set Parent");
    return state.scene.setParent(child, parent, true);
}

SceneObject* Document::activeObject() { return state.scene.find(state.selection.active); }

const SceneObject* Document::activeObject() const { return state.scene.find(state.selection.active); }

int Document::activeMaterialIndex(bool create) {
    SceneObject* object = activeObject();
    if (!object || object->type != ObjectType::Mesh)
        return -1;
    if (object->material >= 0 && size_t(object->material) < state.scene.materials.size())
        return object->material;
    if (!create)
        return -1;
    checkpoint("New Material");
    Material material;
    material.name = object->name + " Material";
    state.scene.materials.push_back(std::move(material));
    object->material = int32_t(state.scene.materials.size()) - 1;
    return object->material;
}

bool Document::setMaterialTexture(int materialIndex, std::shared_ptr<const TextureData> data, const std::string& name) {
    Scene& scene = state.scene;
    if (materialIndex < 0 || size_t(materialIndex) >= scene.materials.size())
        return false;
    if (!data) {
        // Removing a texture the material does not have changes nothing: no undo step.
        if (scene.materials[size_t(materialIndex)].baseColorTexture != -1) {
            checkpoint("Remove Texture");
            scene.materials[size_t(materialIndex)].baseColorTexture = -1;
        }
        return true;
    }
    checkpoint("Set Texture");
    scene.materials[size_t(materialIndex)].baseColorTexture = scene.addTexture(Texture{name, std::move(data), {}});
    // Meshes without UVs would show one texel of the image: give them a box projection.
    for (const auto& object : scene.objects) {
        if (object->material != materialIndex || !object->mesh || object->mesh->faces.empty() || object->mesh->hasUVs())
            continue;
        uv::projectBox(*object->mesh, {}, 1.0f, object->transform.scale);
    }
    return true;
}

// [SECTION] Edit Mode

void Document::exitEditMode() { leaveEditMode(state); }

} // namespace orva
