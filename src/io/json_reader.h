#pragma once

#include <string_view>

#include <nlohmann/json.hpp>

// A fast reader of strict JSON into nlohmann::json values, for documents too large for the
// library's own parser to read in time (a scene file of a million-corner mesh holds millions
// of numbers). It accepts exactly what nlohmann::json::parse(text, nullptr, false, false)
// accepts and yields the same values:
// - an optional UTF-8 byte order mark, then one value and nothing but whitespace after it
//   (outside strings a NUL byte ends the text, so what follows one is ignored); no comments;
// - strings must be valid UTF-8 without raw control characters; \u escapes must pair
//   surrogates;
// - integers without fraction or exponent become unsigned (non-negative) or signed (negative)
//   when they fit in 64 bits; every other number becomes a double, and a number too large
//   for a double (1e400) is refused, while one too small becomes zero;
// - a key given twice keeps its last value.
// Nesting depth is limited only by memory (no recursion).
namespace orva::io {

// Returns false for text that is not one JSON value; `out` is then left unchanged. The values
// of object members named `discardedKey` (when not empty) are checked like any other but stored
// as null: for large data that the caller never reads.
bool parseJson(std::string_view text, nlohmann::json& out, std::string_view discardedKey = {});

} // namespace orva::io
