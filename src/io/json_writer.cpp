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
    appendJsonNumber(out_, value);
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
    char buf[48];
    char* p = buf;
    if (std::signbit(value)) {
        *p++ = '-';
        value = -value;
    }
    if (value == 0.0) {
        out.append(buf, p);
        out += "0.0";
        return;
    }

    // Shortest round-trip digits and their decimal exponent, from the scientific form d.ddde+XX.
    char sci[32];
    const char* end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific).ptr;
    char digits[24];
    int k = 0;
    const char* s = sci;
    for (; s < end && *s != 'e'; ++s)
        if (*s != '.')
            digits[k++] = *s;
    int exponent = 0;
    std::from_chars(s + (s[1] == '+' ? 2 : 1), end, exponent);
    const int n = exponent + 1; // position of the decimal point relative to the first digit

    // The JSON library's layout: plain notation for 1e-4 <= value < 1e15, else an exponent.
    constexpr int kMinExp = -4;
    constexpr int kMaxExp = 15;
    if (k <= n && n <= kMaxExp) {
        std::memcpy(p, digits, size_t(k));
        std::memset(p + k, '0', size_t(n - k));
        p += n;
        *p++ = '.';
        *p++ = '0';
    } else if (0 < n && n <= kMaxExp) {
        std::memcpy(p, digits, size_t(n));
        p += n;
        *p++ = '.';
        std::memcpy(p, digits + n, size_t(k - n));
        p += k - n;
    } else if (kMinExp < n && n <= 0) {
        *p++ = '0';
        *p++ = '.';
        std::memset(p, '0', size_t(-n));
        p += -n;
        std::memcpy(p, digits, size_t(k));
        p += k;
    } else {
        *p++ = digits[0];
        if (k > 1) {
            *p++ = '.';
            std::memcpy(p, digits + 1, size_t(k - 1));
            p += k - 1;
        }
        *p++ = 'e';
        int e = n - 1;
        *p++ = e < 0 ? '-' : '+';
        if (e < 0)
            e = -e;
        if (e < 10)
            *p++ = '0';
        p = std::to_chars(p, buf + sizeof buf, e).ptr;
    }
    out.append(buf, p);
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
