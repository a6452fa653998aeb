// The fast JSON reader against the library's own parser: both must accept the same texts and
// read the same values (types included), also when the values under one key are discarded.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/json_reader.h"

namespace {

// The library's value with every member named `key` set to null, as the reader stores it.
void discard(nlohmann::json& value, const std::string& key) {
    if (value.is_object()) {
        for (auto& [name, member] : value.items()) {
            if (name == key)
                member = nullptr;
            else
                discard(member, key);
        }
    } else if (value.is_array()) {
        for (auto& element : value)
            discard(element, key);
    }
}

// An upper bound of the nesting depth (brackets inside strings count too).
size_t maxDepth(const std::string& text) {
    size_t depth = 0, deepest = 0;
    for (char c : text) {
        if (c == '[' || c == '{')
            deepest = std::max(deepest, ++depth);
        else if ((c == ']' || c == '}') && depth > 0)
            --depth;
    }
    return deepest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Printing and comparing values recurses; the reader itself does not (a unit test covers depth).
    if (maxDepth(text) > 1000)
        return -1;
    nlohmann::json mine;
    const bool ok = orva::io::parseJson(text, mine);
    const nlohmann::json library = nlohmann::json::parse(text, nullptr, false, false);
    if (ok != !library.is_discarded())
        __builtin_trap();
    // dump() tells 1 from 1.0 and -0 from -0.0, which == does not.
    if (ok && mine.dump() != library.dump())
        __builtin_trap();

    nlohmann::json partial;
    if (orva::io::parseJson(text, partial, "a") != ok)
        __builtin_trap();
    if (ok) {
        nlohmann::json expected = library;
        discard(expected, "a");
        if (partial.dump() != expected.dump())
            __builtin_trap();
    }
    return 0;
}
