#pragma once

#include <imgui.h>

#include <cstdint>
#include <functional>
#include <string>

// The "Properties" panel: every property of the active object (name, transform, mesh summary and
// shading, the vertex median in Edit Mode, material and base-colour texture, camera lens, light,
// spawn point). Every change goes through the Document: one-shot changes take a checkpoint, drags
// and typing go through ui::trackEdit and become one undo step each.
namespace orva {

class Document;
class Renderer;
struct SceneObject;

class Inspector {
public:
    Inspector(Document& document, Renderer& renderer) : document(document), renderer(renderer) {}

    // The window "Properties"; `open` may be null. `extraFlags` are OR-ed into the window flags.
    void draw(bool* open, ImGuiWindowFlags extraFlags = 0);

    void drawTransform(SceneObject& object);
    void drawEditSelection(SceneObject& object);
    void drawMesh(SceneObject& object);
    void drawMaterial(SceneObject& object);
    void drawTexture(int materialIndex);
    void drawCamera(SceneObject& object);
    void drawLight(SceneObject& object);

    // Set by the editor: remembers the material index and opens the texture file dialog.
    std::function<void(int materialIndex)> requestTexture;
    Document& document;
    // Thumbnails only: its texture cache is asked for a handle while it is initialised (GL ready).
    Renderer& renderer;
    std::string nameBuffer;    // text of the Name field
    uint32_t nameObjectId = 0; // object nameBuffer was loaded from (and a rename applies to)

private:
    void drawName(SceneObject& object);
    void drawSpawnPoint();
    bool nameFieldActive = false; // the Name field was being typed in at the end of the last frame
};

} // namespace orva
