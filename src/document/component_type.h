#pragma once

// What clicks and edits act on in Edit Mode. The selection itself is always stored per vertex;
// the component type only decides how picking adds to it and how it is read and drawn.
namespace orva {

enum class ComponentType : int { Vertex = 0, Edge = 1, Face = 2 };

} // namespace orva
