// Base64 text from scene files (embedded textures).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "io/base64.h"

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<uint8_t> decoded;
    const bool ok = orva::io::base64Decode(text, decoded);
    check(decoded.size() <= size * 3 / 4 + 1);

    // Whatever was decoded (also before an invalid character) survives a round trip.
    std::vector<uint8_t> again;
    check(orva::io::base64Decode(orva::io::base64Encode(decoded), again));
    check(again == decoded);
    (void)ok;

    // And the input taken as bytes does too.
    const std::vector<uint8_t> bytes(data, data + size);
    const std::string encoded = orva::io::base64Encode(bytes);
    check(encoded.size() == (size + 2) / 3 * 4);
    check(orva::io::base64Decode(encoded, again) && again == bytes);
    return 0;
}
