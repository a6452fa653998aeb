#pragma once

#include <imgui.h>

#include <cstdint>
#include <string>

// The "Outliner" panel: the scene's object hierarchy as a tree. Selects objects, renames them in
// place, re-parents them by drag and drop, toggles their visibility and offers a small context
// menu. Every change goes through the Document as an undo step.
namespace orva {

class Document;

// The drag-and-drop payload of an object row: its uint32 id (4 bytes).
inline constexpr const char* kObjectPayload = "ORVA_OBJECT";

class Outliner {
public:
    explicit Outliner(Document& document) : document(document) {}

    // The window "Outliner"; `open` may be null (no close button). `extraFlags` are OR-ed into the
    // window flags (the editor's dock layout places the window and passes its own flags).
    void draw(bool* open, ImGuiWindowFlags extraFlags = 0);

    Document& document;
    uint32_t renamingId = 0; // object whose name is being edited inline; 0 = none
    std::string renameBuffer;
    bool focusRename = false;   // give the rename field keyboard focus the next time it is drawn
    uint32_t pendingDelete = 0; // chosen from the context menu, deleted after the tree walk

    // One tree row and, when open, its children; nothing for a missing object.
    void drawObject(uint32_t id);
    // Makes the last item a drop target that parents the dropped object under `parentId` (0: root).
    void handleDropTarget(uint32_t parentId);

private:
    void startRename(uint32_t id);
    void drawRenameField(uint32_t id);
};

} // namespace orva
