// The Edit Mode members of Document: entering Edit Mode, the per-vertex component selection, the
// mesh commands (a working copy committed as one undo step only when it changed), shading and UV
// mapping. The life, snapshot and object operations are in document.cpp.

// [SECTION] Entering
// [SECTION] Component selection
// [SECTION] Mesh commands
// [SECTION] Shading and UVs

#include "document/document.h"

#include "document/mesh_ops.h"
#include "document/uv_ops.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace orva {

namespace {

// The edited object of `s` when Edit Mode is on and it exists with a mesh; null otherwise.
const SceneObject* editedObjectOf(const DocumentState& s) {
    if (s.mode != InteractionMode::Edit)
        return nullptr;
    const SceneObject* object = s.scene.find(s.editObjectId);
    return object && object->mesh ? object : nullptr;
}

// The mesh commands' shared protocol: run `operation` on copies of the edited mesh and selection;
// when it reports a change, checkpoint `label` (the snapshot holds the state before the change) and
// move the results in. Move assignment keeps the object's mesh uid and raises its revision, so the
// renderer re-uploads it. Otherwise `unchanged` goes to `error` and nothing changes.
template <typename Operation>
bool runMeshCommand(Document& doc, const char* label, const char* unchanged, std::string* error,
                    Operation&& operation) {
    Mesh* mesh = doc.editMesh();
    if (!mesh) {
        if (error)
            *error = "Not in Edit Mode.";
        return false;
    }
    Mesh working = *mesh;
    std::vector<uint8_t> selection = doc.state.vertexSelection;
    if (!operation(working, selection)) {
        if (error)
            *error = unchanged;
        return false;
    }
    doc.checkpoint(label);
    *mesh = std::move(working);
    doc.state.vertexSelection = std::move(selection);
    return true;
}

} // namespace

//-----------------------------------------------------------------------------
// [SECTION] Entering
//-----------------------------------------------------------------------------

bool Document::canEnterEditMode() const {
    const SceneObject* object = activeObject();
    return object && object->type == ObjectType::Mesh && object->mesh;
}

bool Document::enterEditMode() {
    if (state.mode == InteractionMode::Edit)
        return true;
    if (!canEnterEditMode())
        return false;
    const SceneObject* object = activeObject();
    state.mode = InteractionMode::Edit;
    state.editObjectId = object->id;
    state.vertexSelection.assign(object->mesh->vertices.size(), 0);
    selectOnly(object->id);
    return true;
}

SceneObject* Document::editObject() { return const_cast<SceneObject*>(editedObjectOf(state)); }

const SceneObject* Document::editObject() const { return editedObjectOf(state); }

Mesh* Document::editMesh() {
    SceneObject* object = editObject();
    if (!object)
        return nullptr;
    meshops::resizeSelection(*object->mesh, state.vertexSelection);
    return object->mesh.get();
}

//-----------------------------------------------------------------------------
// [SECTION] Component selection
//-----------------------------------------------------------------------------

void Document::setComponentType(ComponentType type) {
    switch (type) {
    case ComponentType::Vertex:
    case ComponentType::Edge:
    case ComponentType::Face:
        state.componentType = type;
        break;
    }
}

void Document::selectVertices(const std::vector<uint32_t>& vertexIndices, SelectOp op) {
    if (!editMesh())
        return;
    std::vector<uint8_t>& flags = state.vertexSelection;
    const size_t count = flags.size();
    uint8_t value = 1;
    switch (op) {
    case SelectOp::Replace:
        std::fill(flags.begin(), flags.end(), uint8_t(0));
        break;
    case SelectOp::Add:
        break;
    case SelectOp::Remove:
        value = 0;
        break;
    case SelectOp::Toggle: {
        // An index out of range is not "already selected", so the list is then selected.
        const bool allSelected = std::all_of(vertexIndices.begin(), vertexIndices.end(),
                                             [&](uint32_t v) { return v < count && flags[v] != 0; });
        value = allSelected && !vertexIndices.empty() ? 0 : 1;
        break;
    }
    default:
        return;
    }
    for (uint32_t v : vertexIndices)
        if (v < count)
            flags[v] = value;
}

void Document::selectAllComponents(bool select) {
    if (!editMesh())
        return;
    std::fill(state.vertexSelection.begin(), state.vertexSelection.end(), uint8_t(select ? 1 : 0));
}

void Document::invertComponentSelection() {
    if (!editMesh())
        return;
    for (uint8_t& flag : state.vertexSelection)
        flag = flag != 0 ? 0 : 1;
}

// Entries beyond the edited mesh's vertex count (a stale selection) are not counted.
size_t Document::selectedVertexCount() const {
    const SceneObject* object = editObject();
    if (!object || state.vertexSelection.size() <= object->mesh->vertices.size())
        return meshops::countSelected(state.vertexSelection);
    const auto end = state.vertexSelection.begin() + std::ptrdiff_t(object->mesh->vertices.size());
    return size_t(std::count_if(state.vertexSelection.begin(), end, [](uint8_t flag) { return flag != 0; }));
}

//-----------------------------------------------------------------------------
// [SECTION] Mesh commands
//-----------------------------------------------------------------------------

bool Document::deleteComponents(std::string* error) {
    switch (state.componentType) {
    case ComponentType::Edge:
        return runMeshCommand(*this, "Delete", "No edges selected.", error, meshops::deleteEdges);
    case ComponentType::Face:
        return runMeshCommand(*this, "Delete", "No faces selected.", error, meshops::deleteFaces);
    default:
        return runMeshCommand(*this, "Delete", "No vertices selected.", error, meshops::deleteVertices);
    }
}

bool Document::mergeAtCenter(std::string* error) {
    return runMeshCommand(*this, "Merge at Center", "Select at least two vertices to merge.", error,
                          meshops::mergeAtCenter);
}

bool Document::mergeByDistance(float threshold, std::string* error) {
    return runMeshCommand(*this, "Merge by Distance", "No selected vertices are close enough to merge.", error,
                          [threshold](Mesh& mesh, std::vector<uint8_t>& selection) {
                              return meshops::mergeByDistance(mesh, selection, threshold) > 0;
                          });
}

bool Document::extrude(float distance, std::string* error) {
    // The geometry operation refuses an infinite or NaN distance too, but "select faces" would
    // then name the wrong cause.
    if (editObject() && !std::isfinite(distance)) {
        if (error)
            *error = "The extrude distance must be a finite number.";
        return false;
    }
    return runMeshCommand(*this, "Extrude", "Select faces or boundary edges to extrude.", error,
                          [distance](Mesh& mesh, std::vector<uint8_t>& selection) {
                              return meshops::extrude(mesh, selection, distance);
                          });
}

bool Document::splitEdges(std::string* error) {
    return runMeshCommand(
        *this, "Split Edges", "Select at least one edge (two connected vertices).", error,
        [](Mesh& mesh, std::vector<uint8_t>& selection) { return meshops::splitEdges(mesh, selection) > 0; });
}

bool Document::flipNormals(std::string* error) {
    return runMeshCommand(
        *this, "Flip Normals", "Select at least one face.", error,
        [](Mesh& mesh, std::vector<uint8_t>& selection) { return meshops::flipFaces(mesh, selection); });
}

//-----------------------------------------------------------------------------
// [SECTION] Shading and UVs
//-----------------------------------------------------------------------------

bool Document::setShading(bool smooth) {
    std::vector<Mesh*> targets;
    if (SceneObject* object = editObject()) {
        targets.push_back(object->mesh.get());
    } else {
        for (uint32_t id : state.selection.ids) {
            SceneObject* selected = state.scene.find(id);
            if (selected && selected->mesh)
                targets.push_back(selected->mesh.get());
        }
    }
    if (targets.empty())
        return false;
    checkpoint(smooth ? "Shade Smooth" : "Shade Flat");
    for (Mesh* mesh : targets)
        mesh->setSmooth(smooth);
    return true;
}

std::vector<uint32_t> Document::uvTargetFaces(const SceneObject& object) const {
    if (state.mode != InteractionMode::Edit || object.id != state.editObjectId || !object.mesh)
        return {};
    // selectedFaces reads entries beyond the selection as unselected, so no fitting is needed.
    return meshops::selectedFaces(*object.mesh, state.vertexSelection);
}

bool Document::applyUv(UvOp op, float value, std::string* error) {
    if (op < UvOp::Box || op > UvOp::Rotate90) {
        if (error)
            *error = "Unknown UV operation.";
        return false;
    }
    std::vector<SceneObject*> targets;
    if (state.mode == InteractionMode::Edit) {
        if (SceneObject* object = editObject())
            targets.push_back(object);
    } else {
        for (uint32_t id : state.selection.ids) {
            SceneObject* selected = state.scene.find(id);
            if (selected && selected->mesh && !selected->mesh->faces.empty())
                targets.push_back(selected);
        }
    }
    if (targets.empty()) {
        if (error)
            *error = "Select a mesh object (or faces in Edit Mode) first.";
        return false;
    }

    checkpoint("UV Mapping");
    for (SceneObject* object : targets) {
        // Computed before the mesh changes; an empty list maps the whole mesh.
        const std::vector<uint32_t> faces = uvTargetFaces(*object);
        Mesh& mesh = *object->mesh;
        const glm::vec3 scale = object->transform.scale;
        switch (op) {
        case UvOp::Box:
            uv::projectBox(mesh, faces, value, scale);
            break;
        case UvOp::PlanarX:
            uv::projectPlanar(mesh, faces, uv::Axis::X, value, scale);
            break;
        case UvOp::PlanarY:
            uv::projectPlanar(mesh, faces, uv::Axis::Y, value, scale);
            break;
        case UvOp::PlanarZ:
            uv::projectPlanar(mesh, faces, uv::Axis::Z, value, scale);
            break;
        case UvOp::Cylinder:
            uv::projectCylinder(mesh, faces);
            break;
        case UvOp::Sphere:
            uv::projectSphere(mesh, faces);
            break;
        case UvOp::ResetPerFace:
            uv::resetPerFace(mesh, faces);
            break;
        case UvOp::FitToUnit:
            uv::fitToUnit(mesh, faces);
            break;
        case UvOp::FlipU:
            uv::transform(mesh, faces, glm::vec2(0.0f), glm::vec2(-1.0f, 1.0f), 0.0f);
            break;
        case UvOp::FlipV:
            uv::transform(mesh, faces, glm::vec2(0.0f), glm::vec2(1.0f, -1.0f), 0.0f);
            break;
        case UvOp::Rotate90:
            uv::transform(mesh, faces, glm::vec2(0.0f), glm::vec2(1.0f, 1.0f), 90.0f);
            break;
        }
    }
    return true;
}

} // namespace orva
