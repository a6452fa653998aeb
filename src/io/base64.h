#pragma once

#include <cstdint>
#include <string>
#include <vector>

// RFC 4648 Base64 (standard alphabet, '=' padding), used for textures embedded in scene files.
namespace orva::io {

// No line breaks in the output.
std::string base64Encode(const std::vector<uint8_t>& bytes);
// Skips line feeds, carriage returns, spaces and '=' anywhere; returns false at the first other
// character outside the alphabet (a tab too), keeping the bytes decoded so far in `out`. Missing
// padding and a dangling last character are accepted.
bool base64Decode(const std::string& text, std::vector<uint8_t>& out);

} // namespace orva::io
