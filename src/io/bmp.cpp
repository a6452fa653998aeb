#include "io/bmp.h"

#include <cstring>

namespace orva::io {

namespace {

void put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

} // namespace

std::vector<uint8_t> encodeBmp32(const uint8_t* rgba, int width, int height) {
    const uint32_t w = width > 0 ? uint32_t(width) : 0;
    const uint32_t h = height > 0 ? uint32_t(height) : 0;
    const size_t pixelBytes = size_t(w) * h * 4;
    std::vector<uint8_t> bmp(54 + pixelBytes, 0);
    uint8_t* p = bmp.data();

    // File header, then the 40-byte information header; all fields little-endian.
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, uint32_t(54 + pixelBytes));
    put32(p + 10, 54);
    put32(p + 14, 40);
    put32(p + 18, w);
    put32(p + 22, h);
    put16(p + 26, 1);
    put16(p + 28, 32);
    put32(p + 34, uint32_t(pixelBytes));

    uint8_t* out = p + 54;
    for (size_t i = 0; i < pixelBytes; i += 4) {
        out[i + 0] = rgba[i + 2];
        out[i + 1] = rgba[i + 1];
        out[i + 2] = rgba[i + 0];
        out[i + 3] = 255;
    }
    return bmp;
}

} // namespace orva::io
