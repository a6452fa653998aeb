#pragma once

#include <cstdint>
#include <vector>

namespace orva::io {

// Which objects an export takes. The OBJ exporter further keeps only mesh objects among them;
// the GLB exporter takes objects of every type.
struct ExportOptions {
    bool selectedOnly = false;         // false: the whole scene
    std::vector<uint32_t> selectedIds; // object ids to export when selectedOnly; ignored otherwise
};

} // namespace orva::io
