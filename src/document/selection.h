#pragma once

#include "scene/scene.h"

#include <cstdint>
#include <vector>

// The object selection and how a list of ids combines with it.
namespace orva {

// How a list of ids (or vertex indices, in Edit Mode) combines with the current selection.
enum class SelectOp : int { Replace = 0, Add = 1, Toggle = 2, Remove = 3 };

struct ObjectSelection {
    std::vector<uint32_t> ids;        // in the order they were selected, no duplicates
    uint32_t active = kInvalidObject; // what the Properties panel shows; normally one of `ids`

    bool contains(uint32_t id) const;
    // Appends `id` when absent; either way it becomes the active object.
    void add(uint32_t id);
    // Drops `id` when present; when it was active, the last remaining id (or none) becomes active.
    void remove(uint32_t id);
    void clear();
};

} // namespace orva
