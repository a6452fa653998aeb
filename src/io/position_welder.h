#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

// Gives every distinct position one index, in order of first appearance. The model reader hands
// out one vertex per face corner; welding them by exact position brings back the shared vertices
// of the original mesh (and also merges separate shells that touch, which the editor tolerates).
namespace orva::io {

class PositionWelder {
public:
    // Clears the table; indices start again from 0. `expected` distinct positions fit without
    // the table growing.
    void reset(size_t expected = 0) {
        size_t slots = kInitialSlots;
        while (slots < expected * 2)
            slots *= 2;
        slots_.assign(slots, kEmpty);
        keys_.clear();
        keys_.reserve(expected);
    }
    size_t size() const { return keys_.size(); }

    // The index of the position (x, y, z) and whether it is new. Positions compare by their bits,
    // with -0 counted as +0; NaNs compare by their bits too.
    uint32_t weld(float x, float y, float z, bool& added) {
        if (slots_.empty())
            reset();
        const Key key = {bits(x), bits(y), bits(z)};
        if ((keys_.size() + 1) * 2 > slots_.size())
            grow();
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
            const uint32_t index = slots_[i];
            if (index == kEmpty) {
                slots_[i] = uint32_t(keys_.size());
                keys_.push_back(key);
                added = true;
                return slots_[i];
            }
            if (same(keys_[index], key)) {
                added = false;
                return index;
            }
        }
    }

private:
    using Key = std::array<uint32_t, 3>;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    static constexpr size_t kInitialSlots = 1024; // a power of two

    static bool same(const Key& a, const Key& b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }
    static uint32_t bits(float f) {
        if (f == 0.0f)
            f = 0.0f;
        uint32_t u;
        std::memcpy(&u, &f, sizeof(u));
        return u;
    }
    // Float bits of simple numbers end in long runs of zeros: mix every input bit into the low
    // bits that pick the slot.
    static size_t hash(const Key& key) {
        uint64_t h = ((uint64_t(key[0]) << 32) | key[1]) * 0x9E3779B97F4A7C15ull;
        h ^= uint64_t(key[2]) * 0xC2B2AE3D27D4EB4Full;
        h ^= h >> 29;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 32;
        return size_t(h);
    }
    void grow() {
        slots_.assign(slots_.size() * 2, kEmpty);
        const size_t mask = slots_.size() - 1;
        for (uint32_t index = 0; index < keys_.size(); ++index) {
            size_t i = hash(keys_[index]) & mask;
            while (slots_[i] != kEmpty)
                i = (i + 1) & mask;
            slots_[i] = index;
        }
    }

    // The table holds indices only (small, so probing stays in cache); the keys sit in insertion
    // order, where neighbouring corners usually find their neighbours.
    std::vector<uint32_t> slots_;
    std::vector<Key> keys_;
};

} // namespace orva::io
