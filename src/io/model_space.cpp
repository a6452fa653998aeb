#include "io/model_space.h"

#include <assimp/types.h> // metadata.h needs it first
#include <assimp/metadata.h>

#include <cmath>
#include <cstring>

namespace orva::io {

namespace {

bool metadataNumber(const aiMetadata* metadata, const char* key, double& out) {
    if (!metadata || !metadata->mKeys || !metadata->mValues)
        return false;
    for (unsigned i = 0; i < metadata->mNumProperties; ++i) {
        if (std::strcmp(metadata->mKeys[i].C_Str(), key) != 0)
            continue;
        const aiMetadataEntry& e = metadata->mValues[i];
        if (!e.mData)
            return false;
        switch (e.mType) {
        case AI_BOOL:
            out = *static_cast<const bool*>(e.mData) ? 1.0 : 0.0;
            return true;
        case AI_INT32:
            out = double(*static_cast<const int32_t*>(e.mData));
            return true;
        case AI_UINT64:
            out = double(*static_cast<const uint64_t*>(e.mData));
            return true;
        case AI_FLOAT:
            out = double(*static_cast<const float*>(e.mData));
            return true;
        case AI_DOUBLE:
            out = *static_cast<const double*>(e.mData);
            return true;
        default:
            return false;
        }
    }
    return false;
}

// An axis index 0..2 (anything else: -1) and a sign (negative values: -1, others +1).
int axisOf(const aiMetadata* metadata, const char* key, int fallback) {
    double v = fallback;
    metadataNumber(metadata, key, v);
    return (v == 0.0 || v == 1.0 || v == 2.0) ? int(v) : -1;
}
double signOf(const aiMetadata* metadata, const char* key) {
    double v = 1.0;
    metadataNumber(metadata, key, v);
    return v < 0.0 ? -1.0 : 1.0;
}

} // namespace

SpaceConversion fbxSpaceConversion(const aiMetadata* sceneMetadata) {
    int coord = axisOf(sceneMetadata, "CoordAxis", 0);
    int up = axisOf(sceneMetadata, "UpAxis", 1);
    int front = axisOf(sceneMetadata, "FrontAxis", 2);
    double coordSign = signOf(sceneMetadata, "CoordAxisSign");
    double upSign = signOf(sceneMetadata, "UpAxisSign");
    double frontSign = signOf(sceneMetadata, "FrontAxisSign");
    if (coord < 0 || up < 0 || front < 0 || coord == up || coord == front || up == front) {
        coord = 0, up = 1, front = 2;
        coordSign = upSign = frontSign = 1.0;
    }

    double centimetresPerUnit = 1.0;
    if (!metadataNumber(sceneMetadata, "UnitScaleFactor", centimetresPerUnit) ||
        !(std::isfinite(centimetresPerUnit) && centimetresPerUnit > 0.0))
        centimetresPerUnit = 1.0;
    const double scale = centimetresPerUnit * 0.01;

    // glm is column-major: m[column][row]. Row r holds the file direction of scene axis r.
    SpaceConversion c;
    c.matrix = glm::dmat3(0.0);
    c.matrix[coord][0] = coordSign * scale;
    c.matrix[up][1] = upSign * scale;
    c.matrix[front][2] = frontSign * scale;
    c.mirrored = glm::determinant(c.matrix) < 0.0;
    return c;
}

} // namespace orva::io
