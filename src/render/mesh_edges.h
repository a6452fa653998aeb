#pragma once

#include <vector>

#include "scene/mesh.h"

namespace orva {

// The same list as Mesh::edges(): every distinct undirected edge once (smaller index in `a`), in
// order of first appearance, sides joining a vertex to itself skipped. Built with short
// per-vertex neighbour lists instead of a hash set, which is several times faster on large
// meshes; the per-frame Edit Mode overlay and GPU uploads use it. Replaces the contents of
// `edges`, keeping its capacity.
void collectEdges(const Mesh& mesh, std::vector<Edge>& edges);

} // namespace orva
