#include "document/bvh.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace orva {

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Leaves hold up to kLeafSize triangles unless splitting does not pay; never more than kMaxLeafSize
// unless every centroid coincides (then splits are made by count).
constexpr uint32_t kLeafSize = 4;
constexpr uint32_t kMaxLeafSize = 16;
constexpr int kBins = 16;
// Small nodes split at the centroid median: binning them costs more than it saves.
constexpr uint32_t kMedianBelow = 32;
// Below this depth splits follow the surface area heuristic; deeper ones halve the count, so the
// depth stays below kSahDepth + 32 and the traversal stack below kStackSize.
constexpr uint32_t kSahDepth = 40;
constexpr int kStackSize = 128;

// Padding: a leaf grows by kLeafPad times its largest extent; a query pads every box by kRayPad
// times its distance to the farthest corner of the root, plus kAbsPad times the largest coordinate
// magnitude (the resolution of the floats themselves).
constexpr float kLeafPad = 1e-3f;
constexpr float kRayPad = 1e-4f;
constexpr float kAbsPad = 1e-6f;
constexpr float kSliverSine = 1e-3f;

bool finite(const glm::vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// A triangle whose corner angle at `a` is below about 0.06 degrees (or with a zero-length side).
// intersectRayTriangle's determinant is then rounding noise for most rays, and so are the t it
// returns and the place it reports: such triangles can "hit" far outside their box.
bool isSliver(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c) {
    const glm::vec3 e1 = b - a, e2 = c - a;
    return !(glm::length(glm::cross(e1, e2)) >= kSliverSine * glm::length(e1) * glm::length(e2));
}

float maxAbs(const glm::vec3& v) { return std::max(std::fabs(v.x), std::max(std::fabs(v.y), std::fabs(v.z))); }

float halfArea(const glm::vec3& mn, const glm::vec3& mx) {
    const glm::vec3 e = mx - mn;
    return e.x * e.y + e.y * e.z + e.z * e.x;
}

// 32 bytes, so that the partition's swaps move whole aligned halves.
struct BuildPrim {
    glm::vec3 min;
    uint32_t index; // input triangle number
    glm::vec3 max;
    uint32_t unused;
};

struct Bin {
    glm::vec3 min{kInf};
    glm::vec3 max{-kInf};
    glm::vec3 cmin{kInf}; // centroid bounds (doubled), handed to the children
    glm::vec3 cmax{-kInf};
    uint32_t count = 0;

    void add(const BuildPrim& p) {
        min = glm::min(min, p.min);
        max = glm::max(max, p.max);
        const glm::vec3 c = p.min + p.max;
        cmin = glm::min(cmin, c);
        cmax = glm::max(cmax, c);
        ++count;
    }
    void add(const Bin& b) {
        min = glm::min(min, b.min);
        max = glm::max(max, b.max);
        cmin = glm::min(cmin, b.cmin);
        cmax = glm::max(cmax, b.cmax);
        count += b.count;
    }
};

struct BuildTask {
    uint32_t node;
    uint32_t first;
    uint32_t count;
    uint32_t depth;
    bool centroidsKnown; // cmin/cmax already hold the centroid bounds
    glm::vec3 cmin, cmax;
};

} // namespace

// The slab test against a padded box. Zero direction components are replaced by tiny ones of the
// same sign, so every product stays a number: a parallel ray inside a slab gets an interval of
// +-huge, one outside gets an interval far beyond any hit.
struct TriangleBvh::RayBoxTest {
    glm::vec3 inv;
    glm::vec3 lo; // -origin - pad, added to a box minimum
    glm::vec3 hi; // -origin + pad, added to a box maximum

    RayBoxTest(const Ray& ray, float pad) {
        for (int i = 0; i < 3; ++i) {
            float d = ray.direction[i];
            if (std::fabs(d) < 1e-20f)
                d = std::signbit(d) ? -1e-20f : 1e-20f;
            inv[i] = 1.0f / d;
            lo[i] = -ray.origin[i] - pad;
            hi[i] = -ray.origin[i] + pad;
        }
    }

    // True when the ray's part between 0 and limit (inclusive) meets the box; `enter` receives the
    // entry distance (negative when the origin is inside).
    bool test(const Node& n, float limit, float& enter) const {
        const float x0 = (n.min.x + lo.x) * inv.x, x1 = (n.max.x + hi.x) * inv.x;
        const float y0 = (n.min.y + lo.y) * inv.y, y1 = (n.max.y + hi.y) * inv.y;
        const float z0 = (n.min.z + lo.z) * inv.z, z1 = (n.max.z + hi.z) * inv.z;
        const float tmin = std::max(std::max(std::min(x0, x1), std::min(y0, y1)), std::min(z0, z1));
        const float tmax = std::min(std::min(std::max(x0, x1), std::max(y0, y1)), std::max(z0, z1));
        enter = tmin;
        return tmin <= tmax && tmax >= 0.0f && tmin <= limit;
    }
};

void TriangleBvh::clear() {
    nodes_.clear();
    corners_.clear();
    ordinals_.clear();
    boxedCount_ = 0;
    coordinateScale_ = 0.0f;
}

size_t TriangleBvh::memoryBytes() const {
    return nodes_.capacity() * sizeof(Node) + corners_.capacity() * sizeof(glm::vec3) +
           ordinals_.capacity() * sizeof(uint32_t);
}

void TriangleBvh::build(const std::vector<glm::vec3>& positions,
                        const std::vector<std::array<uint32_t, 3>>& triangles) {
    clear();
    const uint32_t total = uint32_t(triangles.size());
    if (total == 0)
        return;

    // Per-triangle boxes, kept in one array that the splits permute in place (sequential access);
    // triangles with a non-finite corner and slivers stay out of the tree.
    std::vector<BuildPrim> prims;
    std::vector<uint32_t> loose;
    prims.reserve(total);
    for (uint32_t i = 0; i < total; ++i) {
        const glm::vec3& a = positions[triangles[i][0]];
        const glm::vec3& b = positions[triangles[i][1]];
        const glm::vec3& c = positions[triangles[i][2]];
        if (!finite(a) || !finite(b) || !finite(c) || isSliver(a, b, c)) {
            loose.push_back(i);
            continue;
        }
        BuildPrim p{};
        p.min = glm::min(a, glm::min(b, c));
        p.max = glm::max(a, glm::max(b, c));
        p.index = i;
        coordinateScale_ = std::max(coordinateScale_, std::max(maxAbs(p.min), maxAbs(p.max)));
        prims.push_back(p);
    }

    const uint32_t boxed = uint32_t(prims.size());
    boxedCount_ = boxed;
    if (boxed > 0) {
        nodes_.reserve(size_t(boxed) / 3 * 2 + 16); // leaves average about three triangles
        nodes_.emplace_back();
        std::vector<BuildTask> tasks;
        tasks.push_back({0, 0, boxed, 0, false, glm::vec3(0.0f), glm::vec3(0.0f)});
        while (!tasks.empty()) {
            const BuildTask task = tasks.back();
            tasks.pop_back();
            BuildPrim* begin = prims.data() + task.first;
            BuildPrim* end = begin + task.count;

            auto makeLeaf = [&] {
                nodes_[task.node].first = task.first;
                nodes_[task.node].count = task.count;
            };
            if (task.count <= kLeafSize) {
                makeLeaf();
                continue;
            }

            // Split axis: the longest extent of the centroids (kept doubled: min + max).
            glm::vec3 cmin = task.cmin, cmax = task.cmax;
            if (!task.centroidsKnown) {
                cmin = glm::vec3(kInf);
                cmax = glm::vec3(-kInf);
                for (const BuildPrim* p = begin; p != end; ++p) {
                    const glm::vec3 c = p->min + p->max;
                    cmin = glm::min(cmin, c);
                    cmax = glm::max(cmax, c);
                }
            }
            Bin childLeft, childRight; // centroid bounds of the children, when binning found them
            const glm::vec3 ext = cmax - cmin;
            const int axis = ext.x >= ext.y && ext.x >= ext.z ? 0 : (ext.y >= ext.z ? 1 : 2);
            const float extent = ext[axis];
            auto byCentroid = [axis](const BuildPrim& a, const BuildPrim& b) {
                return a.min[axis] + a.max[axis] < b.min[axis] + b.max[axis];
            };

            uint32_t leftCount = 0;
            if (!(extent > 0.0f) || !std::isfinite(extent)) {
                // Coincident centroids (or a span beyond float range): split by count.
                if (task.count <= kMaxLeafSize) {
                    makeLeaf();
                    continue;
                }
                leftCount = task.count / 2;
            } else if (task.depth >= kSahDepth || task.count <= kMedianBelow) {
                leftCount = task.count / 2;
                std::nth_element(begin, begin + leftCount, end, byCentroid);
            } else {
                // Binned surface area heuristic on that axis.
                const float scale = float(kBins) * (1.0f - 1e-6f) / extent;
                const float origin = cmin[axis];
                auto binOf = [&](const BuildPrim& p) {
                    const float f = (p.min[axis] + p.max[axis] - origin) * scale;
                    return f >= float(kBins - 1) ? kBins - 1 : (f > 0.0f ? int(f) : 0);
                };
                // Two sets of bins, alternating, so that neighbours (often in the same bin) do not
                // wait on each other's stores.
                Bin bins[kBins], odd[kBins];
                const BuildPrim* p = begin;
                for (; p + 1 < end; p += 2) {
                    bins[binOf(p[0])].add(p[0]);
                    odd[binOf(p[1])].add(p[1]);
                }
                if (p != end)
                    bins[binOf(*p)].add(*p);
                for (int i = 0; i < kBins; ++i)
                    bins[i].add(odd[i]);
                float rightArea[kBins];
                uint32_t rightCount[kBins];
                glm::vec3 rmin(kInf), rmax(-kInf);
                uint32_t rc = 0;
                for (int i = kBins - 1; i > 0; --i) {
                    rmin = glm::min(rmin, bins[i].min);
                    rmax = glm::max(rmax, bins[i].max);
                    rc += bins[i].count;
                    rightArea[i] = rc > 0 ? halfArea(rmin, rmax) : 0.0f;
                    rightCount[i] = rc;
                }
                glm::vec3 lmin(kInf), lmax(-kInf);
                uint32_t lc = 0;
                float bestCost = kInf;
                int bestPlane = 0;
                for (int i = 1; i < kBins; ++i) {
                    lmin = glm::min(lmin, bins[i - 1].min);
                    lmax = glm::max(lmax, bins[i - 1].max);
                    lc += bins[i - 1].count;
                    if (lc == 0 || rightCount[i] == 0)
                        continue;
                    const float cost = float(lc) * halfArea(lmin, lmax) + float(rightCount[i]) * rightArea[i];
                    if (cost < bestCost) {
                        bestCost = cost;
                        bestPlane = i;
                    }
                }
                // lmin/lmax now span bins 0..kBins-2; add the last bin for the whole node.
                lmin = glm::min(lmin, bins[kBins - 1].min);
                lmax = glm::max(lmax, bins[kBins - 1].max);
                const float leafCost = float(task.count) * halfArea(lmin, lmax);
                if ((bestPlane == 0 || !(bestCost < leafCost)) && task.count <= kMaxLeafSize) {
                    makeLeaf();
                    continue;
                }
                if (bestPlane != 0) {
                    BuildPrim* mid =
                        std::partition(begin, end, [&](const BuildPrim& p) { return binOf(p) < bestPlane; });
                    leftCount = uint32_t(mid - begin);
                    for (int i = 0; i < kBins; ++i)
                        (i < bestPlane ? childLeft : childRight).add(bins[i]);
                }
                if (leftCount == 0 || leftCount == task.count) {
                    leftCount = task.count / 2;
                    std::nth_element(begin, begin + leftCount, end, byCentroid);
                    childLeft.count = childRight.count = 0;
                }
            }

            const uint32_t left = uint32_t(nodes_.size());
            nodes_.emplace_back();
            nodes_.emplace_back();
            nodes_[task.node].first = left;
            nodes_[task.node].count = 0;
            const bool known = childLeft.count > 0 && childRight.count > 0;
            tasks.push_back({left + 1, task.first + leftCount, task.count - leftCount, task.depth + 1, known,
                             childRight.cmin, childRight.cmax});
            tasks.push_back({left, task.first, leftCount, task.depth + 1, known, childLeft.cmin, childLeft.cmax});
        }

        // Boxes bottom-up: children always come after their parent.
        for (size_t k = nodes_.size(); k-- > 0;) {
            Node& n = nodes_[k];
            if (n.count > 0) {
                glm::vec3 mn(kInf), mx(-kInf);
                for (uint32_t s = n.first; s < n.first + n.count; ++s) {
                    mn = glm::min(mn, prims[s].min);
                    mx = glm::max(mx, prims[s].max);
                }
                const float pad = kLeafPad * maxAbs(mx - mn);
                n.min = mn - glm::vec3(pad);
                n.max = mx + glm::vec3(pad);
            } else {
                const Node& a = nodes_[n.first];
                const Node& b = nodes_[n.first + 1];
                n.min = glm::min(a.min, b.min);
                n.max = glm::max(a.max, b.max);
            }
        }
    }

    // Triangle corners in slot order: the tree's leaves first, then the loose triangles.
    ordinals_.resize(total);
    for (uint32_t s = 0; s < boxed; ++s)
        ordinals_[s] = prims[s].index;
    std::copy(loose.begin(), loose.end(), ordinals_.begin() + boxed);
    corners_.resize(size_t(total) * 3);
    for (uint32_t s = 0; s < total; ++s) {
        const std::array<uint32_t, 3>& tri = triangles[ordinals_[s]];
        corners_[size_t(s) * 3 + 0] = positions[tri[0]];
        corners_[size_t(s) * 3 + 1] = positions[tri[1]];
        corners_[size_t(s) * 3 + 2] = positions[tri[2]];
    }
}

float TriangleBvh::queryPad(const Ray& ray) const {
    const Node& root = nodes_[0];
    const glm::vec3 far = glm::max(glm::abs(root.min - ray.origin), glm::abs(root.max - ray.origin));
    const float pad = kRayPad * glm::length(far) + kAbsPad * (coordinateScale_ + maxAbs(ray.origin));
    return std::isfinite(pad) ? pad : kInf;
}

TriangleBvh::Hit TriangleBvh::scanAll(const Ray& ray) const {
    Hit best;
    for (uint32_t s = 0; s < uint32_t(ordinals_.size()); ++s) {
        const glm::vec3* c = &corners_[size_t(s) * 3];
        const float t = intersectRayTriangle(ray, c[0], c[1], c[2]);
        if (t > 0.0f && t < kInf && (t < best.t || (t == best.t && ordinals_[s] < best.triangle)))
            best = {t, ordinals_[s]};
    }
    return best;
}

TriangleBvh::Hit TriangleBvh::closestHit(const Ray& ray) const {
    if (!finite(ray.origin) || !finite(ray.direction))
        return scanAll(ray);

    Hit best;
    auto testSlot = [&](uint32_t s) {
        const glm::vec3* c = &corners_[size_t(s) * 3];
        const float t = intersectRayTriangle(ray, c[0], c[1], c[2]);
        if (t > 0.0f && t < kInf && (t < best.t || (t == best.t && ordinals_[s] < best.triangle)))
            best = {t, ordinals_[s]};
    };
    for (uint32_t s = boxedCount_; s < uint32_t(ordinals_.size()); ++s)
        testSlot(s);
    if (nodes_.empty())
        return best;

    const RayBoxTest box(ray, queryPad(ray));
    struct Entry {
        uint32_t node;
        float enter;
    };
    Entry stack[kStackSize];
    int sp = 0;
    float enter = 0.0f;
    if (box.test(nodes_[0], kInf, enter))
        stack[sp++] = {0, enter};
    while (sp > 0) {
        const Entry e = stack[--sp];
        // Equal distances still matter (a lower triangle number may win), so only farther boxes go.
        if (e.enter > best.t)
            continue;
        const Node& n = nodes_[e.node];
        if (n.count > 0) {
            for (uint32_t s = n.first; s < n.first + n.count; ++s)
                testSlot(s);
            continue;
        }
        float ea = 0.0f, eb = 0.0f;
        const bool ha = box.test(nodes_[n.first], best.t, ea);
        const bool hb = box.test(nodes_[n.first + 1], best.t, eb);
        if (ha && hb) {
            // Nearer child on top of the stack.
            if (ea <= eb) {
                stack[sp++] = {n.first + 1, eb};
                stack[sp++] = {n.first, ea};
            } else {
                stack[sp++] = {n.first, ea};
                stack[sp++] = {n.first + 1, eb};
            }
        } else if (ha) {
            stack[sp++] = {n.first, ea};
        } else if (hb) {
            stack[sp++] = {n.first + 1, eb};
        }
        assert(sp < kStackSize - 2 && "bvh deeper than its traversal stack");
    }
    return best;
}

bool TriangleBvh::anyHitBefore(const Ray& ray, float limit) const {
    if (!(limit > 0.0f))
        return false;
    auto hits = [&](uint32_t s) {
        const glm::vec3* c = &corners_[size_t(s) * 3];
        const float t = intersectRayTriangle(ray, c[0], c[1], c[2]);
        return t > 0.0f && t < limit;
    };
    if (!finite(ray.origin) || !finite(ray.direction)) {
        for (uint32_t s = 0; s < uint32_t(ordinals_.size()); ++s)
            if (hits(s))
                return true;
        return false;
    }
    for (uint32_t s = boxedCount_; s < uint32_t(ordinals_.size()); ++s)
        if (hits(s))
            return true;
    if (nodes_.empty())
        return false;

    const RayBoxTest box(ray, queryPad(ray));
    uint32_t stack[kStackSize];
    int sp = 0;
    float enter = 0.0f;
    if (box.test(nodes_[0], limit, enter))
        stack[sp++] = 0;
    while (sp > 0) {
        const Node& n = nodes_[stack[--sp]];
        if (n.count > 0) {
            for (uint32_t s = n.first; s < n.first + n.count; ++s)
                if (hits(s))
                    return true;
            continue;
        }
        float ea = 0.0f, eb = 0.0f;
        const bool ha = box.test(nodes_[n.first], limit, ea);
        const bool hb = box.test(nodes_[n.first + 1], limit, eb);
        if (ha && hb) {
            if (ea <= eb) {
                stack[sp++] = n.first + 1;
                stack[sp++] = n.first;
            } else {
                stack[sp++] = n.first;
                stack[sp++] = n.first + 1;
            }
        } else if (ha) {
            stack[sp++] = n.first;
        } else if (hb) {
            stack[sp++] = n.first + 1;
        }
        assert(sp < kStackSize - 2 && "bvh deeper than its traversal stack");
    }
    return false;
}

} // namespace orva
