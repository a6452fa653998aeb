#pragma once

#include <string>

namespace Assimp {
class IOSystem;
}

// An OBJ file finds its material library by its own name (model.obj -> model.mtl in the same
// folder) even when it has no "mtllib" line. The library itself only falls back to that name when
// the library named by a "mtllib" line is missing.
namespace orva::io {

// The material library named like the OBJ at `objPath` when that file exists and the OBJ never
// mentions "mtllib"; empty otherwise. Reads the OBJ only when such a file exists.
std::string objMtlFallback(const std::string& objPath);

// A file system for the importer (which takes ownership) that shows the OBJ at `objPath` with a
// first line "mtllib <mtlName>" and every other file as it is.
Assimp::IOSystem* makeObjMtlIOSystem(const std::string& objPath, const std::string& mtlName);

} // namespace orva::io
