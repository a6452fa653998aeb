#pragma once

#include <cstdint>
#include <vector>

namespace orva::io {

// Encodes a read-back framebuffer as an uncompressed 32-bit BMP: a 54-byte header followed by
// width x height pixels, rows in the order given (GL reads bottom-up, which is what a positive
// BMP height means), each pixel as blue, green, red, 255. `rgba` holds width x height x 4 bytes
// and may be null when either size is 0; negative sizes count as 0. Alpha is discarded: the
// image is always opaque.
std::vector<uint8_t> encodeBmp32(const uint8_t* rgba, int width, int height);

} // namespace orva::io
