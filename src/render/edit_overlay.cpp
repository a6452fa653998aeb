#include "render/edit_overlay.h"

#include "document/mesh_ops.h"
#include "render/overlay_colors.h"
#include "scene/mesh.h"

namespace orva {

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
    for (uint32_t f : selectedFaces) {
        const std::vector<uint32_t>& corners = mesh.faces[f].indices;
        for (const auto& triangle : mesh.triangulateFace(f)) {
            for (uint32_t corner : triangle)
                lists.faceTint.push_back({vertices[corners[corner]].position, kFaceTint});
        }
    }

    const std::vector<Edge> edges = mesh.edges();
    lists.edges.reserve(edges.size() * 2);
    for (const Edge& e : edges) {
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
