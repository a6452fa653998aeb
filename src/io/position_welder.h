#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// Gives every distinct position one index, in order of first appearance. The model reader hands
// out one vertex per face corner; welding them by exact position brings back the shared vertices
// of the original mesh (and also merges separate shells that touch, which the editor tolerates).
namespace orva::io {

class PositionWelder {
public:
    // Clears the table; indices start again from 0.
    void reset() {
        slots_.assign(kInitialSlots, Slot{});
        count_ = 0;
    }
    size_t size() const { return count_; }

    // The index of the position (x, y, z) and whether it is new. Positions compare by their bits,
    // with -0 counted as +0; NaNs compare by their bits too.
    uint32_t weld(float x, float y, float z, bool& added) {
        if (slots_.empty())
            reset();
        const uint32_t key[3] = {bits(x), bits(y), bits(z)};
        if ((count_ + 1) * 2 > slots_.size())
            grow();
        size_t mask = slots_.size() - 1;
        for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.index == kEmpty) {
                s = Slot{{key[0], key[1], key[2]}, uint32_t(count_)};
                added = true;
                return uint32_t(count_++);
            }
            if (s.key[0] == key[0] && s.key[1] == key[1] && s.key[2] == key[2]) {
                added = false;
                return s.index;
            }
        }
    }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    static constexpr size_t kInitialSlots = 1024; // a power of two
    struct Slot {
        uint32_t key[3] = {0, 0, 0};
        uint32_t index = kEmpty;
    };

    static uint32_t bits(float f) {
        if (f == 0.0f)
            f = 0.0f;
        uint32_t u;
        std::memcpy(&u, &f, sizeof(u));
        return u;
    }
    static size_t hash(const uint32_t key[3]) {
        uint64_t h = key[0] * 0x9E3779B97F4A7C15ull;
        h ^= (h >> 29) + key[1] * 0xBF58476D1CE4E5B9ull;
        h ^= (h >> 31) + key[2] * 0x94D049BB133111EBull;
        return size_t(h ^ (h >> 32));
    }
    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.index == kEmpty)
                continue;
            size_t i = hash(s.key) & mask;
            while (slots_[i].index != kEmpty)
                i = (i + 1) & mask;
            slots_[i] = s;
        }
    }

    std::vector<Slot> slots_;
    size_t count_ = 0;
};

} // namespace orva::io
