#include "document/selection.h"

#include <algorithm>

namespace orva {

bool ObjectSelection::contains(uint32_t id) const { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

void ObjectSelection::add(uint32_t id) {
    if (!contains(id))
        ids.push_back(id);
    active = id;
}

void ObjectSelection::remove(uint32_t id) {
    const auto it = std::find(ids.begin(), ids.end(), id);
    if (it != ids.end())
        ids.erase(it);
    if (active == id)
        active = ids.empty() ? kInvalidObject : ids.back();
}

void ObjectSelection::clear() {
    ids.clear();
    active = kInvalidObject;
}

} // namespace orva
