#pragma once

#include "document/document_state.h"
#include "document/selection.h"
#include "document/undo_stack.h"
#include "io/model_import.h"
#include "scene/orbit_camera.h"
#include "scene/primitives.h"
#include "scene/scene.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The open scene as the editor sees it: the scene with its selection and Edit Mode state, the
// view camera, the file path, the unsaved-changes flag and the undo history. Every undoable
// change goes through an operation here that first takes a checkpoint (a full copy of `state`)
// and then changes the state; undo and redo swap whole snapshots. Refused operations take no
// checkpoint and change nothing; they report by their result (null, false, 0), and only the file
// operations carry a message. Main thread only.
namespace orva {

class Document {
public:
    OrbitCamera camera;  // the view camera; not part of the undo state
    DocumentState state; // the current state
    UndoStack undoStack{100};
    std::string path;               // the file opened or last saved; empty for a new scene
    bool dirty = false;             // unsaved changes
    bool interacting = false;       // a continuous edit (gizmo drag, slider drag) is open
    DocumentState interactionStart; // the state when that edit began

    // A new default scene with the default view camera.
    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // [SECTION] Life and files

    // A fresh default scene: empty history, no path, clean, Object Mode, view camera reset.
    void newScene();
    // Fills an empty scene: materials "Material" and "Ground", Plane (1), Cube (2), Spawn Point (3),
    // Camera (4) and Light (5); the Cube is selected and active.
    void setupDefaultScene();
    // Target (0, 1, 0), distance 16, field of view 50, perspective, yaw 40 and pitch 26.
    void resetViewCamera();
    // The file name of `path`, or "Untitled".
    std::string displayName() const;
    // Reads a scene file. On failure returns false with the reader's message and changes nothing;
    // on success the document holds the loaded scene in Object Mode with nothing selected, an
    // empty history, the file's view camera, `path` set and no unsaved changes.
    bool open(const std::string& filePath, std::string* error = nullptr, std::vector<std::string>* warnings = nullptr);
    // Writes the scene and the view camera; on success `path` = filePath and the document is
    // clean; on failure nothing changes. The history is kept.
    bool save(const std::string& filePath, std::string* error = nullptr);

    // [SECTION] Snapshots

    // Pushes a copy of `state` as the undo step `label` and marks the document dirty. Call it
    // before changing anything, and only when something is going to change.
    void checkpoint(const std::string& label);
    // Brackets a continuous edit so that it becomes one undo step. Nested begins are ignored;
    // endInteraction records the state from the begin only when `changed`.
    void beginInteraction();
    void endInteraction(const std::string& label, bool changed);
    // False while an interaction is open or when there is nothing to undo or redo.
    bool undo();
    bool redo();

    // [SECTION] Objects

    // Each leaves Edit Mode, takes a checkpoint ("Add Cube", "Add Camera", "Add Spot Light",
    // "Add Spawn Point"), creates the object with a unique name and makes it the only selected
    // and the active one.
    SceneObject* addPrimitive(PrimitiveType type);
    SceneObject* addCamera(); // looking from the view camera's eye at its target
    SceneObject* addLight(LightType type);
    SceneObject* addSpawnPoint(); // below the view camera's target, facing along its yaw

    // Adds the mesh objects of an FBX or OBJ file (io::importModel) as one undo step
    // "Import <file name>", leaves Edit Mode and selects the new objects (the last one active);
    // `result` receives the counts and warnings. On failure returns false with the importer's
    // message and changes nothing.
    bool importModel(const std::string& filePath, io::ImportResult* result = nullptr, std::string* error = nullptr);

    // Both refuse (0) in Edit Mode or with nothing selected. Deleting re-parents children to the
    // deleted object's parent; duplicating copies each selected object (not its children) and
    // selects the copies. Return how many objects were removed or made.
    uint32_t deleteSelectedObjects();
    uint32_t duplicateSelectedObjects();

    // Ids naming no object are skipped. Selection changes are not undo steps of their own.
    void selectObjects(const std::vector<uint32_t>& ids, SelectOp op);
    // Every object in scene order; the active object stays active when there was one.
    void selectAllObjects();

    // Re-parents keeping the world placement ("Set Parent", or "Clear Parent" for parent 0).
    // Refuses a missing child or parent, parent == child, the current parent and cycles.
    bool setParent(uint32_t child, uint32_t parent);

    SceneObject* activeObject();
    const SceneObject* activeObject() const;
    // The active mesh object's material index, or -1. With `create`, a mesh object without a
    // valid material gets a new one named after it ("New Material").
    int activeMaterialIndex(bool create);
    // Sets (data given, "Set Texture") or removes ("Remove Texture") the base-colour texture of a
    // material. Meshes using the material that have faces but no UVs get a box projection so the
    // texture shows at once. False for an index outside the material list.
    bool setMaterialTexture(int materialIndex, std::shared_ptr<const TextureData> data, const std::string& name);

    // [SECTION] Edit Mode
    // One mesh object is open; its component selection is `state.vertexSelection` (one flag per
    // vertex; an edge counts as selected when both its vertices are, a face when all its corners
    // are). Entering, leaving and selecting make no undo step; the mesh commands below edit a working
    // copy and take a checkpoint only when the operation changed something. Every reader fits
    // `vertexSelection` to the vertex count first, so a stale length is never read out of range.

    // The UV Mapping commands. `value` of applyUv is the tile size (world units per texture repeat)
    // for Box and the planar projections; the others ignore it.
    enum class UvOp : int {
        Box = 0,          // "Box Projection"
        PlanarX = 1,      // "Planar: Side (X)"
        PlanarY = 2,      // "Planar: Top (Y)"
        PlanarZ = 3,      // "Planar: Front (Z)"
        Cylinder = 4,     // "Cylinder Projection"
        Sphere = 5,       // "Sphere Projection"
        ResetPerFace = 6, // "Reset: Whole Texture per Face"
        FitToUnit = 7,    // "Fit to 0-1"
        FlipU = 8,        // "Flip U"
        FlipV = 9,        // "Flip V"
        Rotate90 = 10,    // "Rotate 90°"
    };

    // The active object exists, is a Mesh object and has a mesh.
    bool canEnterEditMode() const;
    // Opens the active mesh object with nothing selected and makes it the only selected object.
    // True when already in Edit Mode; false (nothing changes) when canEnterEditMode() is false.
    bool enterEditMode();
    // Back to Object Mode (no checkpoint): no edit object, empty vertex selection.
    void exitEditMode();
    // In Edit Mode, the edited object when it exists and has a mesh; otherwise null.
    SceneObject* editObject();
    const SceneObject* editObject() const;
    // The edited object's mesh (null as for editObject()), with `vertexSelection` fitted to it.
    Mesh* editMesh();

    // How picks add to the selection; the vertex selection itself is left as it is. Values outside
    // the enumeration are ignored.
    void setComponentType(ComponentType type);
    // Each does nothing outside Edit Mode or without an edited mesh. Indices at or beyond the vertex
    // count are ignored. Toggle clears the given vertices when every one of them is in range and
    // selected, and selects them otherwise; an empty list changes nothing.
    void selectVertices(const std::vector<uint32_t>& vertexIndices, SelectOp op);
    void selectAllComponents(bool select);
    void invertComponentSelection();
    // Non-zero entries of `vertexSelection`.
    size_t selectedVertexCount() const;

    // The mesh commands. Each returns true after committing a change as one undo step ("Delete",
    // "Merge at Center", "Merge by Distance", "Extrude", "Split Edges", "Flip Normals") and leaves
    // the selection the operation produced. Otherwise it returns false with one sentence in `error`
    // ("Not in Edit Mode.", or why there was nothing to do) and changes nothing.
    // deleteComponents removes vertices, edges or faces according to the component type.
    bool deleteComponents(std::string* error = nullptr);
    bool mergeAtCenter(std::string* error = nullptr);
    // `threshold` in metres, object space.
    bool mergeByDistance(float threshold, std::string* error = nullptr);
    // `distance` in metres along the region's (or the edges') normal; negative extrudes inwards.
    bool extrude(float distance, std::string* error = nullptr);
    bool splitEdges(std::string* error = nullptr);
    bool flipNormals(std::string* error = nullptr);

    // Smooth or flat shading for every face of the edited mesh in Edit Mode, otherwise of every
    // selected object with a mesh ("Shade Smooth", "Shade Flat"). False, with no undo step, when
    // there is no such mesh.
    bool setShading(bool smooth);

    // The faces a UV operation on `object` acts on: in Edit Mode, for the edited object, the faces
    // whose corners are all selected; otherwise empty, which the UV operations read as all faces.
    std::vector<uint32_t> uvTargetFaces(const SceneObject& object) const;
    // Maps the edited mesh (Edit Mode) or every selected mesh with faces (Object Mode) in one
    // "UV Mapping" step. False with a message, and nothing changed, when there is no target.
    bool applyUv(UvOp op, float value, std::string* error = nullptr);

private:
    SceneObject* addObject(const std::string& label, ObjectType type, const std::string& baseName);
    void selectOnly(uint32_t id);
};

} // namespace orva
