// Untrusted image bytes (dropped files, scene files, imported models) on their way to a texture
// and, for kept PNG/JPEG bytes, through the decoder the renderer uses.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <stb_image.h>

#include "io/image.h"

namespace {

// Large but valid headers make the decoder allocate and fill big images from a few bytes, and
// re-encoding them as PNG takes long: real costs, but not the parser faults the fuzzer is for.
// Such inputs are skipped so that runs stay fast and within memory.
constexpr int64_t kMaxFuzzPixels = int64_t(256) * 256;

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t kNothing = 0;
    int w = 0, h = 0, channels = 0;
    if (stbi_info_from_memory(size ? data : &kNothing, int(size), &w, &h, &channels) &&
        int64_t(w) * int64_t(h) > kMaxFuzzPixels)
        return -1;

    const std::vector<uint8_t> input(data, data + size);
    std::string error;
    auto texture = orva::io::textureFromEncoded(input, &error);
    if (!texture) {
        check(!error.empty());
        return 0;
    }
    check(error.empty());
    check(texture->mimeType == "image/png" || texture->mimeType == "image/jpeg");
    check(texture->width >= 1 && texture->width <= 16384 && texture->height >= 1 && texture->height <= 16384);
    check(!texture->bytes.empty());

    // What the renderer does with it: decode (a kept file may still be damaged past its header).
    orva::io::RgbaImage image;
    if (orva::io::decodeImage(texture->bytes.data(), texture->bytes.size(), image, &error)) {
        check(image.width == texture->width && image.height == texture->height);
        check(image.pixels.size() == size_t(image.width) * size_t(image.height) * 4);
    } else {
        check(texture->bytes == input); // converted PNGs always decode
    }
    return 0;
}
