#include "render/edit_overlay.h"

#include "document/mesh_ops.h"
#include "render/mesh_edges.h"
#include "render/overlay_colors.h"
#include "scene/mesh.h"

namespace orva {

namespace {

// True when the quad's four corners all turn the same way around its Newell normal. Ear clipping
// then cuts it into (3, 0, 1) and (1, 2, 3), which the overlay emits without asking the mesh
// (every frame, for every selected face, that call's allocations would dominate).
bool isConvexQuad(const glm::vec3 (&p)[4]) {
    glm::vec3 normal(0.0f);
    for (int i = 0; i < 4; ++i) {
        const glm::vec3& a = p[i];
        const glm::vec3& b = p[(i + 1) & 3];
        normal += glm::vec3((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
    }
    const float scale = glm::dot(normal, normal);
    if (!(scale > 1e-20f))
        return false;
    for (int i = 0; i < 4; ++i) {
        const glm::vec3 turn = glm::cross(p[i] - p[(i + 3) & 3], p[(i + 1) & 3] - p[i]);
        if (!(glm::dot(turn, normal) > 1e-6f * scale))
            return false;
    }
    return true;
}

} // namespace

void buildEditOverlay(const Mesh& mesh, const std::vector<uint8_t>* selection, ComponentType mode,
                      EditOverlayLists& lists) {
    lists.faceTint.clear();
    lists.edges.clear();
    lists.dots.clear();

    static const std::vector<uint8_t> kNothingSelected;
    const std::vector<uint8_t>& flags = selection ? *selection : kNothingSelected;
    auto selected = [&flags](uint32_t v) { return v < flags.size() && flags[v] != 0; };
    const auto& vertices = mesh.vertices;

    // Face tint: every triangle of every fully selected face.
    const std::vector<uint32_t> selectedFaces = meshops::selectedFaces(mesh, flags);
    lists.faceTint.reserve(selectedFaces.size() * 6);
    for (uint32_t f : selectedFaces) {
        const std::vector<uint32_t>& corners = mesh.faces[f].indices;
        if (corners.size() == 4) {
            const glm::vec3 p[4] = {vertices[corners[0]].position, vertices[corners[1]].position,
                                    vertices[corners[2]].position, vertices[corners[3]].position};
            if (isConvexQuad(p)) {
                for (int corner : {3, 0, 1, 1, 2, 3})
                    lists.faceTint.push_back({p[corner], kFaceTint});
                continue;
            }
        }
        for (const auto& triangle : mesh.triangulateFace(f)) {
            for (uint32_t corner : triangle)
                lists.faceTint.push_back({vertices[corners[corner]].position, kFaceTint});
        }
    }

    collectEdges(mesh, lists.edgeScratch);
    lists.edges.reserve(lists.edgeScratch.size() * 2);
    for (const Edge& e : lists.edgeScratch) {
        if (e.b >= vertices.size())
            continue; // a mesh breaking its invariants
        const glm::vec4& color = selected(e.a) && selected(e.b) ? kEditSelected : kEditEdge;
        lists.edges.push_back({vertices[e.a].position, color});
        lists.edges.push_back({vertices[e.b].position, color});
    }

    if (mode == ComponentType::Vertex) {
        lists.dots.reserve(vertices.size());
        for (uint32_t v = 0; v < uint32_t(vertices.size()); ++v)
            lists.dots.push_back({vertices[v].position, selected(v) ? kEditSelected : kFaceDot});
    } else if (mode == ComponentType::Face) {
        std::vector<uint8_t> faceSelected(mesh.faces.size(), 0);
        for (uint32_t f : selectedFaces)
            faceSelected[f] = 1;
        lists.dots.reserve(mesh.faces.size());
        for (uint32_t f = 0; f < uint32_t(mesh.faces.size()); ++f)
            lists.dots.push_back({mesh.faceCenter(f), faceSelected[f] ? kEditSelected : kFaceDot});
    }
}

} // namespace orva
