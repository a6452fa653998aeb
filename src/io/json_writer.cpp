#include "io/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include <nlohmann/json.hpp>

namespace orva::io {

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (hasItems_.empty())
        return;
    out_ += hasItems_.back() ? ",\n" : "\n";
    hasItems_.back() = 1;
    out_.append(hasItems_.size(), '\t');
}

void JsonWriter::openContainer(char bracket) {
    beforeValue();
    out_ += bracket;
    hasItems_.push_back(0);
}

void JsonWriter::closeContainer(char bracket) {
    const bool any = hasItems_.back() != 0;
    hasItems_.pop_back();
    if (any) {
        out_ += '\n';
        out_.append(hasItems_.size(), '\t');
    }
    out_ += bracket;
}

void JsonWriter::beginObject() { openContainer('{'); }
void JsonWriter::endObject() { closeContainer('}'); }
void JsonWriter::beginArray() { openContainer('['); }
void JsonWriter::endArray() { closeContainer(']'); }

void JsonWriter::key(std::string_view name) {
    out_ += hasItems_.back() ? ",\n" : "\n";
    hasItems_.back() = 1;
    out_.append(hasItems_.size(), '\t');
    appendJsonString(out_, name);
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::number(double value) {
    beforeValue();
    constexpr int kCacheBits = 15;
    if (numbers_.empty())
        numbers_.resize(size_t(1) << kCacheBits);
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    CachedNumber& entry = numbers_[size_t((bits * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits))];
    if (entry.length == 0 || entry.bits != bits) {
        const size_t start = out_.size();
        appendJsonNumber(out_, value);
        const size_t length = out_.size() - start;
        if (length < sizeof entry.text) {
            entry.bits = bits;
            entry.length = uint8_t(length);
            std::memcpy(entry.text, out_.data() + start, length);
        }
        return;
    }
    out_.append(entry.text, entry.length);
}

void JsonWriter::integer(int64_t value) {
    beforeValue();
    char buf[24];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

void JsonWriter::unsignedInteger(uint64_t value) {
    beforeValue();
    char buf[24];
    out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::string(std::string_view value) {
    beforeValue();
    appendJsonString(out_, value);
}

void appendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // The library's own formatting routine (Grisu2 digits, printf-%g-like layout with ".0" on
    // integral values), so that the text is byte for byte what its printer writes.
    char buf[64];
    out.append(buf, nlohmann::detail::to_chars(buf, buf + sizeof buf, value));
}

void appendJsonString(std::string& out, std::string_view text) {
    // Printable ASCII without quote or backslash needs no escaping: names, MIME types, Base64.
    bool plain = true;
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            plain = false;
            break;
        }
    }
    if (plain) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    // The library escapes everything else; invalid UTF-8 becomes U+FFFD instead of an exception.
    out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace orva::io
