#pragma once

#include <glm/glm.hpp>

struct aiMetadata;

// The change from a model file's own units and axes to the scene's (metres, right-handed, +Y up).
namespace orva::io {

struct SpaceConversion {
    // Rows are the file-space directions of the scene's +X, +Y and +Z, times the unit scale; so
    // `matrix * p` takes a file-space point to scene space.
    glm::dmat3 matrix{1.0};
    // The file's axes form a left-handed set: the conversion mirrors, and polygons must reverse
    // their corner order to keep their front side.
    bool mirrored = false;

    bool isIdentity() const { return matrix == glm::dmat3(1.0); }
};

// From the scene metadata that the FBX reader fills: UpAxis, FrontAxis, CoordAxis (0, 1, 2 for
// x, y, z) with their signs, and UnitScaleFactor (centimetres per file unit). A missing value takes
// the FBX default (Y up, Z front, X right, centimetres); axes that do not name three different
// directions fall back to the default axes, and a unit that is not a positive finite number to
// centimetres. Values may be stored as any integer or floating-point type.
SpaceConversion fbxSpaceConversion(const aiMetadata* sceneMetadata);

} // namespace orva::io
