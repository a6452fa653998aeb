#pragma once

#include "io/model_data.h"

#include <string>

// Reading an FBX or OBJ file with the Open Asset Import Library into ModelData, in this process.
// The library can crash on malformed files (this build even aborts on its internal checks), so the
// editor reaches it only through importModel, which runs it in a child process.
namespace orva::io {

// How many of the library's own messages a model keeps; later ones are summed up in one line.
inline constexpr size_t kMaxReaderMessages = 20;

// Replaces `out` with the model at `path` (UTF-8), or returns false with one sentence in `error`:
// "Could not read " + file name + ": " + the library's reason, or file name + " contains no
// polygon meshes." when nothing in the file becomes a mesh object.
//
// Polygons keep their corners (no triangulation; n-gons stay one face); each node's meshes become
// one object per material; corner vertices are welded by exact position, so each object's mesh
// holds the positions its faces use, in first-use order; UVs come per corner, unflipped; a face is
// smooth when the file's normals bend away from it (more than about 5 degrees), else flat. FBX
// geometric transforms end up in the vertices and pivots in the node placement; FBX files are
// converted to metres, right-handed, +Y up from their own unit and axis settings, OBJ files are
// taken as they are. Textures come from inside the file first, then from files beside it; the
// ones not found are reported as warnings.
//
// Uses the library's process-wide logger while it runs: one call at a time per process.
bool readModel(const std::string& path, ModelData& out, std::string* error = nullptr);

} // namespace orva::io
