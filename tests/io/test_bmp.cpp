#include <gtest/gtest.h>

#include <cstring>

#include "io/bmp.h"

namespace {

uint32_t read32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t read16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

} // namespace

// A 3 x 2 image: odd width catches any row padding (32-bit rows never need any).
TEST(Bmp, HeaderAndPixelsOfASmallImage) {
    std::vector<uint8_t> rgba(3 * 2 * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = uint8_t(i * 7);
    const std::vector<uint8_t> bmp = orva::io::encodeBmp32(rgba.data(), 3, 2);

    ASSERT_EQ(bmp.size(), 54u + 24u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(read32(bmp, 2), 78u);
    EXPECT_EQ(read32(bmp, 6), 0u);
    EXPECT_EQ(read32(bmp, 10), 54u);
    EXPECT_EQ(read32(bmp, 14), 40u);
    EXPECT_EQ(read32(bmp, 18), 3u);
    EXPECT_EQ(read32(bmp, 22), 2u);
    EXPECT_EQ(read16(bmp, 26), 1u);
    EXPECT_EQ(read16(bmp, 28), 32u);
    EXPECT_EQ(read32(bmp, 30), 0u);
    EXPECT_EQ(read32(bmp, 34), 24u);
    for (size_t at = 38; at < 54; ++at)
        EXPECT_EQ(bmp[at], 0) << "byte " << at;
    // Rows keep their order (no flip); channels become B, G, R and alpha is forced opaque.
    for (size_t p = 0; p < 6; ++p) {
        EXPECT_EQ(bmp[54 + p * 4 + 0], rgba[p * 4 + 2]) << "pixel " << p;
        EXPECT_EQ(bmp[54 + p * 4 + 1], rgba[p * 4 + 1]) << "pixel " << p;
        EXPECT_EQ(bmp[54 + p * 4 + 2], rgba[p * 4 + 0]) << "pixel " << p;
        EXPECT_EQ(bmp[54 + p * 4 + 3], 255) << "pixel " << p;
    }
}

// A zero-sized window yields a header alone; no pixel pointer is needed.
TEST(Bmp, EmptyImageIsHeaderOnly) {
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 7}, std::pair{-4, 3}}) {
        const std::vector<uint8_t> bmp = orva::io::encodeBmp32(nullptr, w, h);
        ASSERT_EQ(bmp.size(), 54u) << w << "x" << h;
        EXPECT_EQ(read32(bmp, 2), 54u);
        EXPECT_EQ(read32(bmp, 34), 0u);
    }
    const std::vector<uint8_t> bmp = orva::io::encodeBmp32(nullptr, 0, 0);
    EXPECT_EQ(read32(bmp, 18), 0u);
    EXPECT_EQ(read32(bmp, 22), 0u);
}
