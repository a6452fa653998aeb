#pragma once

// Display switches and tool parameters shared by the viewport, the tools panel and the menus.
// The editor owns one for the life of the process; nothing is saved to disk. Not part of undo.
namespace orva {

// Values of EditorSettings::gizmoOperation. Any other value behaves as Move.
inline constexpr int kGizmoMove = 0;
inline constexpr int kGizmoRotate = 1;
inline constexpr int kGizmoScale = 2;

// Values of EditorSettings::gizmoOrientation ("Global" in the tools panel is World). Any value other
// than Local behaves as World.
inline constexpr int kGizmoWorld = 0;
inline constexpr int kGizmoLocal = 1;

struct EditorSettings {
    bool showGrid = true;       // ground grid
    bool showWireframe = false; // wireframe overlay
    bool xray = false;          // Edit Mode: see and pick through the mesh

    int gizmoOperation = kGizmoMove;
    int gizmoOrientation = kGizmoWorld;
    bool snap = false;        // snap gizmo drags to the steps below
    float snapMove = 0.25f;   // metres
    float snapRotate = 15.0f; // degrees
    float snapScale = 0.1f;   // added to or taken from the scale factor 1

    float extrudeDistance = 0.5f; // metres
    float mergeDistance = 0.001f; // metres
    float uvTileSize = 1.0f;      // metres per texture repeat for the box and planar projections
};

} // namespace orva
