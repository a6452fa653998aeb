// The fast JSON reader against the library's own parser: both must accept the same texts and
// read the same values (types included).
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/json_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    nlohmann::json mine;
    const bool ok = orva::io::parseJson(text, mine);
    const nlohmann::json library = nlohmann::json::parse(text, nullptr, false, false);
    if (ok != !library.is_discarded())
        __builtin_trap();
    // dump() tells 1 from 1.0 and -0 from -0.0, which == does not.
    if (ok && mine.dump() != library.dump())
        __builtin_trap();
    return 0;
}
