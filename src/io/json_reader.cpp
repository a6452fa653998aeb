#include "io/json_reader.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace orva::io {

namespace {

using json = nlohmann::json;

class Reader {
public:
    Reader(std::string_view text, std::string_view discardedKey)
        : p_(text.data()), end_(text.data() + text.size()), discardedKey_(discardedKey) {}

    bool run(json& result);

private:
    void skipSpace() {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r'))
            ++p_;
    }
    bool consume(char c) {
        if (p_ < end_ && *p_ == c) {
            ++p_;
            return true;
        }
        return false;
    }
    bool literal(std::string_view word) {
        if (size_t(end_ - p_) < word.size() || std::string_view(p_, word.size()) != word)
            return false;
        p_ += word.size();
        return true;
    }
    bool scalar(json& slot);
    bool string(std::string& out);
    bool hex4(uint32_t& value);
    bool number(json& slot);

    const char* p_;
    const char* end_;
    std::string_view discardedKey_;
};

bool Reader::hex4(uint32_t& value) {
    if (end_ - p_ < 4)
        return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = *p_++;
        uint32_t d;
        if (c >= '0' && c <= '9')
            d = uint32_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = uint32_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = uint32_t(c - 'A' + 10);
        else
            return false;
        value = value * 16 + d;
    }
    return true;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// At the opening quote. Validates UTF-8 by the well-formed byte sequences of Unicode (no
// overlong forms, no encoded surrogates, nothing above U+10FFFF).
bool Reader::string(std::string& out) {
    ++p_;
    for (;;) {
        // Copy runs of plain ASCII at once.
        const char* run = p_;
        while (p_ < end_) {
            const auto c = static_cast<unsigned char>(*p_);
            if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\')
                break;
            ++p_;
        }
        out.append(run, p_);
        if (p_ >= end_)
            return false;
        const auto c = static_cast<unsigned char>(*p_);
        if (c == '"') {
            ++p_;
            return true;
        }
        if (c < 0x20)
            return false;
        if (c == '\\') {
            ++p_;
            if (p_ >= end_)
                return false;
            const char e = *p_++;
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                uint32_t cp;
                if (!hex4(cp))
                    return false;
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    uint32_t low;
                    if (!literal("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    return false;
                }
                appendUtf8(out, cp);
                break;
            }
            default:
                return false;
            }
            continue;
        }
        // A multi-byte UTF-8 sequence: the lead byte fixes the length and the range of the
        // first continuation byte.
        int count;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            count = 1;
        } else if (c == 0xE0) {
            count = 2, lo = 0xA0;
        } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
            count = 2;
        } else if (c == 0xED) {
            count = 2, hi = 0x9F;
        } else if (c == 0xF0) {
            count = 3, lo = 0x90;
        } else if (c >= 0xF1 && c <= 0xF3) {
            count = 3;
        } else if (c == 0xF4) {
            count = 3, hi = 0x8F;
        } else {
            return false;
        }
        if (end_ - p_ <= count)
            return false;
        for (int i = 1; i <= count; ++i) {
            const auto b = static_cast<unsigned char>(p_[i]);
            if (b < lo || b > hi)
                return false;
            lo = 0x80, hi = 0xBF;
        }
        out.append(p_, size_t(count + 1));
        p_ += count + 1;
    }
}

// Decimal exponent of the first significant digit of a number token (saturating), to tell an
// underflow (a value that becomes zero) from an overflow when the conversion is out of range.
long long leadingExponent(const char* s, const char* e) {
    if (*s == '-')
        ++s;
    long long pos = 0; // digits before the point, minus leading zeros
    bool seen = false;
    bool fraction = false;
    for (; s < e && *s != 'e' && *s != 'E'; ++s) {
        if (*s == '.') {
            fraction = true;
            continue;
        }
        if (!seen && *s == '0') {
            if (fraction)
                --pos;
            continue;
        }
        if (!seen) {
            seen = true;
            if (fraction)
                --pos;
        }
        if (!fraction)
            ++pos;
    }
    if (!seen)
        return -1000000; // zero
    long long exp = 0;
    if (s < e) {
        ++s;
        bool negative = false;
        if (*s == '+' || *s == '-')
            negative = *s++ == '-';
        for (; s < e; ++s)
            if (exp < 100000000)
                exp = exp * 10 + (*s - '0');
        if (negative)
            exp = -exp;
    }
    return pos + exp;
}

bool Reader::number(json& slot) {
    const char* start = p_;
    bool isFloat = false;
    consume('-');
    if (p_ >= end_)
        return false;
    if (*p_ == '0') {
        ++p_;
    } else if (*p_ >= '1' && *p_ <= '9') {
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
            ++p_;
    } else {
        return false;
    }
    if (p_ < end_ && *p_ == '.') {
        isFloat = true;
        ++p_;
        const char* digits = p_;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
            ++p_;
        if (p_ == digits)
            return false;
    }
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
        isFloat = true;
        ++p_;
        if (p_ < end_ && (*p_ == '+' || *p_ == '-'))
            ++p_;
        const char* digits = p_;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9')
            ++p_;
        if (p_ == digits)
            return false;
    }

    if (!isFloat) {
        if (*start == '-') {
            int64_t v;
            if (std::from_chars(start, p_, v).ec == std::errc()) {
                slot = v;
                return true;
            }
        } else {
            uint64_t v;
            if (std::from_chars(start, p_, v).ec == std::errc()) {
                slot = v;
                return true;
            }
        }
        // Too large for 64 bits: a double, as the library does.
    }
    double v;
    const auto r = std::from_chars(start, p_, v);
    if (r.ec == std::errc::result_out_of_range) {
        if (leadingExponent(start, p_) >= 0)
            return false; // overflow: the library refuses non-finite numbers
        v = *start == '-' ? -0.0 : 0.0;
    } else if (r.ec != std::errc()) {
        return false;
    }
    slot = v;
    return true;
}

bool Reader::scalar(json& slot) {
    if (p_ >= end_)
        return false;
    switch (*p_) {
    case '"': {
        std::string s;
        if (!string(s))
            return false;
        slot = std::move(s);
        return true;
    }
    case 't':
        slot = true;
        return literal("true");
    case 'f':
        slot = false;
        return literal("false");
    case 'n':
        slot = nullptr;
        return literal("null");
    default:
        return number(slot);
    }
}

bool Reader::run(json& result) {
    // An optional byte order mark.
    if (end_ - p_ >= 1 && static_cast<unsigned char>(*p_) == 0xEF) {
        if (!literal("\xEF\xBB\xBF"))
            return false;
    }

    // Open containers; each value is parsed into `slot`, the place its parent made for it.
    // Pointers stay valid: a container is only appended to while it is the innermost one.
    // A value under a discarded key is checked into `scratch` and its containers get no storage.
    struct Level {
        json* container; // null while discarding
        bool array;
    };
    std::vector<Level> stack;
    json scratch;
    json* slot = &result;
    std::string key;

    // After a member's key: where its value goes.
    auto memberSlot = [&](json* object) -> json* {
        if (!object)
            return &scratch;
        json& member = (*object->get_ptr<json::object_t*>())[key];
        member = nullptr; // a repeated key keeps its last value
        return !discardedKey_.empty() && key == discardedKey_ ? &scratch : &member;
    };
    auto elementSlot = [&](json* array) -> json* {
        return array ? &array->get_ptr<json::array_t*>()->emplace_back() : &scratch;
    };
    auto readKey = [&]() {
        skipSpace();
        key.clear();
        if (p_ >= end_ || *p_ != '"' || !string(key))
            return false;
        skipSpace();
        return consume(':');
    };

    for (;;) {
        // A value.
        skipSpace();
        if (p_ >= end_)
            return false;
        if (*p_ == '{' || *p_ == '[') {
            const bool array = *p_ == '[';
            ++p_;
            json* container = nullptr;
            if (slot != &scratch) {
                *slot = array ? json::array() : json::object();
                container = slot;
            }
            skipSpace();
            if (!consume(array ? ']' : '}')) {
                stack.push_back({container, array});
                if (array) {
                    slot = elementSlot(container);
                } else {
                    if (!readKey())
                        return false;
                    slot = memberSlot(container);
                }
                continue;
            }
        } else if (!scalar(*slot)) {
            return false;
        }

        // After a value: a separator, closing brackets, or the end of the text.
        for (;;) {
            skipSpace();
            if (stack.empty())
                return p_ == end_ || *p_ == '\0'; // the library reads a NUL byte as the end of the text
            const Level level = stack.back();
            if (consume(',')) {
                if (level.array) {
                    slot = elementSlot(level.container);
                } else {
                    if (!readKey())
                        return false;
                    slot = memberSlot(level.container);
                }
                break;
            }
            if (!consume(level.array ? ']' : '}'))
                return false;
            stack.pop_back();
        }
    }
}

} // namespace

bool parseJson(std::string_view text, nlohmann::json& out, std::string_view discardedKey) {
    nlohmann::json result;
    Reader reader(text, discardedKey);
    if (!reader.run(result))
        return false;
    out = std::move(result);
    return true;
}

} // namespace orva::io
