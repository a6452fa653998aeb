#pragma once

#include "scene/mesh.h"

// The five ready-made meshes: centred on the origin, +Y up, outward counter-clockwise winding and
// per-corner UVs on every face. Each call returns a new Mesh (fresh uid, revision 1).
namespace orva {

enum class PrimitiveType : int { Cube = 0, Plane = 1, Sphere = 2, Cylinder = 3, Cone = 4 };

// Display name; any other value gives "Mesh".
const char* primitiveName(PrimitiveType type);

namespace primitives {

// The editor's sizes: cube 2, plane 2, sphere (1, 32, 16), cylinder and cone (1, 2, 32).
// Any other value gives an empty mesh.
Mesh make(PrimitiveType type);

Mesh makeCube(float size);                                 // edge length `size`, 8 vertices, 6 quads
Mesh makePlane(float size);                                // size x size in XZ, normal +Y
Mesh makeUVSphere(float radius, int segments, int rings);  // segments >= 3, rings >= 2
Mesh makeCylinder(float radius, float height, int segments); // segments >= 3
Mesh makeCone(float radius, float height, int segments);     // segments >= 3

} // namespace primitives
} // namespace orva
