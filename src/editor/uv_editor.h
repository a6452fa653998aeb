#pragma once

#include "document/uv_ops.h"
#include "editor/uv_view.h"
#include "scene/math.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <imgui.h>

namespace orva {

class Document;
class Mesh;
class Renderer;
struct SceneObject;

// The "UV Editor" panel: the texture coordinates of the object being edited drawn flat over the
// unit texture square. In Edit Mode the user selects UV points, edges, faces and islands and moves,
// rotates, scales, flips, fits and welds them; outside Edit Mode the active object's layout is a
// read-only preview. The selection is the panel's own (corners, not the document's vertex flags)
// and is not part of undo. Every change goes through the document: one-shot commands take a
// checkpoint, a drag is one interaction recorded only when the UVs really changed. The geometry is
// done by the uv:: operations; this class is the interactive shell around them. Main thread only;
// the document and renderer outlive the panel.
class UvEditor {
public:
    enum class Modal : int { None = 0, Move = 1, Rotate = 2, Scale = 3, BoxSelect = 4 };

    // What the panel shows this frame. Pointers into the document's state, valid for one frame.
    struct Target {
        SceneObject* object = nullptr; // null: nothing to show
        Mesh* mesh = nullptr;
        std::vector<uint32_t> faces; // the shown faces (those with valid UVs among the UV targets)
        bool editing = false;        // the object is open in Edit Mode
    };

    std::function<void(const std::string&)> statusCallback; // shows a status message
    std::function<void()> layoutCallback;                   // toggles the UV Editing layout
    bool separateDock = false;                              // the panel sits in its own dock node

    UvEditor(Document& document, Renderer& renderer);
    UvEditor(const UvEditor&) = delete;
    UvEditor& operator=(const UvEditor&) = delete;

    // Draws the window "UV Editor". The caller may place it first (SetNextWindowPos/Size) and add
    // window flags. `open` may be null (no close button).
    void draw(bool* open, ImGuiWindowFlags extraFlags = 0);
    // Ends a running move, rotate or scale, restoring the UVs it started from and recording nothing;
    // drops a box selection. Called before undo and redo.
    void cancelModal();
    void status(const std::string& message);

    // [SECTION] State, public for the editor and the tests to read
    UvView view;
    bool autoFrame = true;             // fit the view on the next canvas draw
    glm::vec2 framedSize{1.0f};        // canvas size at the last automatic fit
    uint32_t lastObjectId = 0;         // edit object the selection belongs to
    uint64_t lastMeshUid = 0;          // mesh the selection was last validated against...
    uint64_t lastRevision = 0;         // ...and its revision
    std::vector<uv::Corner> selection; // normalized

    bool pressed = false, pressOnSelection = false, pressHandled = false;
    glm::vec2 pressPos{0.0f}; // screen pixels

    Modal modal = Modal::None;
    bool modalByDrag = false;   // the running Move follows a held left button
    uint64_t modalMeshUid = 0;  // mesh identity and revision after the modal's last own change; any
    uint64_t modalRevision = 0; // other value means the mesh was changed from elsewhere (undo)
    std::vector<uv::Corner> modalCorners;
    std::vector<glm::vec2> modalStartUvs;
    glm::vec2 pivot{0.0f};      // UV
    glm::vec2 modalStart{0.0f}; // mouse position in UV space when the modal began
    int axisLock = -1;          // -1 free, 0 only U changes, 1 only V changes
    glm::vec2 boxStart{0.0f};   // screen pixels

    bool fieldDrag = false; // the "Selection U/V" field is being dragged
    uint64_t fieldMeshUid = 0, fieldRevision = 0;
    std::vector<glm::vec2> fieldStartUvs;
    glm::vec2 fieldCenter{0.0f};

    // [SECTION] Steps of draw, public so tests can drive them without a window
    Target currentTarget();
    void syncWithDocument(const Target& target);
    // Corners under `uv` for the document's component type (point, edge ends or face); empty when
    // nothing is within the 9-pixel pick radius.
    std::vector<uv::Corner> elementAt(const Target& target, const glm::vec2& uv) const;
    void clickSelect(const Target& target, const glm::vec2& uv, uv::SetOp op);
    void selectIsland(const Target& target, const glm::vec2& uv, uv::SetOp op);
    void growToIslands(const Target& target);
    void selectAll(const Target& target);
    // `mouseUv` is where the mouse is when the modal starts (the reference for the drag).
    void beginModal(Modal kind, const Target& target, bool byDrag, const glm::vec2& mouseUv);
    void updateModal(const Target& target, const glm::vec2& mouseUv, bool snap);
    void finishModal(bool commit);
    void rotateSelection(const Target& target, float degrees);
    void flipSelection(const Target& target, bool horizontal);
    void fitSelection(const Target& target);
    void weldSelection(const Target& target);
    // The selection, or every corner of the shown faces when nothing is selected.
    std::vector<uv::Corner> operationSet(const Target& target) const;
    void frame(const Target& target);

private:
    Document& document;
    Renderer& renderer;

    void drawToolbar(const Target& target);
    void drawSelectionField(const Target& target);
    void drawCanvas(const Target& target);
    void handleInput(const Target& target, bool hovered);
    void drawLayout(const Target& target, bool hovered);
    void drawTexture(const Target& target, ImDrawList* drawList, bool fewCells);
    void drawGrid(ImDrawList* drawList);
    bool modalTransforms() const { return modal == Modal::Move || modal == Modal::Rotate || modal == Modal::Scale; }
    // True when the edited mesh still is the one the running modal last changed.
    Mesh* modalMesh();
    int visibleCellCount() const;
};

} // namespace orva
