#include "io/base64.h"

#include <array>

namespace orva::io {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Decoding table: 0-63 for the alphabet, kSkip for the characters ignored anywhere, kBad otherwise.
constexpr int8_t kSkip = -1;
constexpr int8_t kBad = -2;

constexpr std::array<int8_t, 256> makeDecodeTable() {
    std::array<int8_t, 256> table{};
    for (auto& v : table)
        v = kBad;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = int8_t(i);
    table['\n'] = kSkip;
    table['\r'] = kSkip;
    table[' '] = kSkip;
    table['='] = kSkip;
    return table;
}

constexpr std::array<int8_t, 256> kDecode = makeDecodeTable();

} // namespace

std::string base64Encode(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v = uint32_t(bytes[i]) << 16 | uint32_t(bytes[i + 1]) << 8 | bytes[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t(bytes[i]) << 16;
        if (rest == 2)
            v |= uint32_t(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool base64Decode(const std::string& text, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3);
    uint32_t bits = 0;
    int pending = 0;
    for (char c : text) {
        const int8_t v = kDecode[static_cast<unsigned char>(c)];
        if (v == kSkip)
            continue;
        if (v == kBad)
            return false;
        bits = (bits << 6) | uint32_t(v);
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            out.push_back(uint8_t(bits >> pending));
            bits &= (1u << pending) - 1u;
        }
    }
    return true;
}

} // namespace orva::io
