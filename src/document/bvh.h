#pragma once

#include "scene/math.h"

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

// A bounding volume hierarchy over world-space triangles. Its queries return what testing every
// triangle in input order with intersectRayTriangle would return: the same t values (the same
// function on the same corner floats), the same winner on equal distances (the lower triangle
// number), the same yes/no for "is anything hit before this distance".
//
// Boxes are padded (each leaf by a thousandth of its size, each query by a ten-thousandth of the
// ray's distance to the mesh) so that rounding inside the triangle test cannot report a hit in a box
// that the traversal skipped. Slivers (a corner angle below about 0.06 degrees, zero-area triangles
// included) and triangles with a non-finite corner are kept out of the tree and tested on every
// query: their hits are rounding noise and can lie anywhere along the ray. What remains is a ray
// within about 1e-5 radians of a triangle's plane, where the triangle test's t is itself noise;
// there the answers may differ.
namespace orva {

class TriangleBvh {
public:
    static constexpr uint32_t kNoTriangle = 0xffffffffu;

    struct Hit {
        float t = std::numeric_limits<float>::infinity(); // +inf when nothing is hit
        uint32_t triangle = kNoTriangle;                  // input triangle number
    };

    // Builds over `triangles` (index triples into `positions`, world space). The triangle numbers
    // used for ties and in Hit are positions in this list. Every index must be below
    // positions.size().
    void build(const std::vector<glm::vec3>& positions, const std::vector<std::array<uint32_t, 3>>& triangles);
    void clear();

    size_t triangleCount() const { return ordinals_.size(); }
    size_t nodeCount() const { return nodes_.size(); }
    // Heap bytes held, for the cache's budget.
    size_t memoryBytes() const;

    // Smallest t > 0 (finite) over all triangles; on equal t the lowest triangle number.
    Hit closestHit(const Ray& ray) const;
    // True when some triangle is hit at 0 < t < limit.
    bool anyHitBefore(const Ray& ray, float limit) const;

private:
    // 32 bytes. An inner node's children sit at `first` and `first + 1`; a leaf holds `count`
    // triangles from slot `first` of corners_ / ordinals_.
    struct Node {
        glm::vec3 min;
        uint32_t first = 0;
        glm::vec3 max;
        uint32_t count = 0; // 0 for an inner node
    };

    struct RayBoxTest;

    Hit scanAll(const Ray& ray) const;
    float queryPad(const Ray& ray) const;

    std::vector<Node> nodes_;        // nodes_[0] is the root when any triangle has a box
    std::vector<glm::vec3> corners_; // three corners per triangle: leaf order, then the loose ones
    std::vector<uint32_t> ordinals_; // input triangle number per slot
    uint32_t boxedCount_ = 0;        // slots [0, boxedCount_) are in the tree; the rest are loose
    float coordinateScale_ = 0.0f;   // largest finite |coordinate| of the boxed triangles
};

} // namespace orva
