#include "editor/gizmo_drag.h"

#include <algorithm>
#include <cmath>

#include "document/document.h"
#include "editor/editor_settings.h"

namespace orva {

namespace {

// A column normalised, or `fallback` when it has no usable length (a zero scale).
glm::vec3 unitColumn(const glm::mat4& m, int column, const glm::vec3& fallback) {
    const glm::vec3 c(m[column]);
    const float length = glm::length(c);
    return length > 1e-12f && std::isfinite(length) ? c / length : fallback;
}

// A matrix whose inverse is usable: finite entries and a determinant clear of zero (an object scaled
// to zero on some axis has none, and its inverse would spread infinities into the scene).
bool isInvertible(const glm::mat4& m) {
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            if (!std::isfinite(m[c][r]))
                return false;
    const float det = glm::determinant(m);
    return std::isfinite(det) && std::abs(det) > 1e-12f;
}

} // namespace

bool computeGizmoMatrix(Document& document, int gizmoOrientation, glm::mat4* matrix) {
    DocumentState& state = document.state;
    if (state.mode == InteractionMode::Object) {
        const uint32_t active = state.selection.active;
        if (active == kInvalidObject || !state.selection.contains(active) || !state.scene.find(active))
            return false;
        *matrix = state.scene.worldMatrix(active);
        return true;
    }

    const Mesh* mesh = document.editMesh(); // also fits vertexSelection to the vertex count
    if (!mesh)
        return false;
    const glm::mat4 world = state.scene.worldMatrix(state.editObjectId);
    glm::vec3 sum(0.0f);
    size_t count = 0;
    for (size_t i = 0; i < mesh->vertices.size(); ++i) {
        if (!state.vertexSelection[i])
            continue;
        sum += glm::vec3(world * glm::vec4(mesh->vertices[i].position, 1.0f));
        ++count;
    }
    if (count == 0)
        return false;

    glm::mat4 result(1.0f);
    if (gizmoOrientation == kGizmoLocal) {
        result[0] = glm::vec4(unitColumn(world, 0, glm::vec3(1, 0, 0)), 0.0f);
        result[1] = glm::vec4(unitColumn(world, 1, glm::vec3(0, 1, 0)), 0.0f);
        result[2] = glm::vec4(unitColumn(world, 2, glm::vec3(0, 0, 1)), 0.0f);
    }
    result[3] = glm::vec4(sum / float(count), 1.0f);
    *matrix = result;
    return true;
}

GizmoDragRecord recordGizmoDrag(Document& document) {
    GizmoDragRecord record;
    DocumentState& state = document.state;
    if (state.mode == InteractionMode::Edit) {
        record.editMode = true;
        const Mesh* mesh = document.editMesh();
        if (!mesh)
            return record;
        for (size_t i = 0; i < mesh->vertices.size(); ++i)
            if (state.vertexSelection[i])
                record.vertices.emplace_back(uint32_t(i), mesh->vertices[i].position);
        return record;
    }

    const std::vector<uint32_t>& ids = state.selection.ids;
    for (uint32_t id : ids) {
        if (!state.scene.find(id))
            continue;
        const bool followsParent = std::any_of(
            ids.begin(), ids.end(), [&](uint32_t other) { return other != id && state.scene.isAncestor(other, id); });
        if (!followsParent)
            record.objects.emplace_back(id, state.scene.worldMatrix(id));
    }
    return record;
}

void applyGizmoDrag(Document& document, const GizmoDragRecord& record, int gizmoOperation, const glm::mat4& start,
                    const glm::mat4& current) {
    DocumentState& state = document.state;
    // A change that cannot be expressed (degenerate or non-finite matrices) moves nothing rather than
    // writing infinities into the scene.
    const bool moveOnly = !record.editMode && gizmoOperation != kGizmoRotate && gizmoOperation != kGizmoScale;
    if (moveOnly) {
        if (state.mode != InteractionMode::Object)
            return;
        const glm::vec3 offset = glm::vec3(current[3]) - glm::vec3(start[3]);
        if (!std::isfinite(offset.x) || !std::isfinite(offset.y) || !std::isfinite(offset.z))
            return;
        for (const auto& [id, startWorld] : record.objects) {
            SceneObject* object = state.scene.find(id);
            const glm::mat4 parentWorld = state.scene.parentWorldMatrix(id);
            if (!object || !isInvertible(parentWorld))
                continue;
            const glm::vec3 target = glm::vec3(startWorld[3]) + offset;
            object->transform.position = glm::vec3(glm::inverse(parentWorld) * glm::vec4(target, 1.0f));
        }
        return;
    }

    if (!isInvertible(start) || !isInvertible(current))
        return;
    const glm::mat4 delta = current * glm::inverse(start);

    if (record.editMode) {
        if (state.mode != InteractionMode::Edit)
            return;
        Mesh* mesh = document.editMesh();
        if (!mesh)
            return;
        const glm::mat4 world = state.scene.worldMatrix(state.editObjectId);
        if (!isInvertible(world))
            return;
        const glm::mat4 toLocal = glm::inverse(world) * delta * world;
        for (const auto& [index, position] : record.vertices)
            if (index < mesh->vertices.size())
                mesh->vertices[index].position = glm::vec3(toLocal * glm::vec4(position, 1.0f));
        ++mesh->revision;
        return;
    }

    if (state.mode != InteractionMode::Object)
        return;
    for (const auto& [id, startWorld] : record.objects)
        if (state.scene.find(id) && isInvertible(startWorld))
            state.scene.setWorldMatrix(id, delta * startWorld);
}

} // namespace orva
