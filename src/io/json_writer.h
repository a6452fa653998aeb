#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Streams JSON text in exactly the layout of nlohmann::json's pretty printer with one tab per level
// (dump(1, '\t')): each member or element on its own line, "key": value, "," line ends between
// entries, the closing bracket on its own line at the parent's indentation, "{}" and "[]" for
// empty containers, no line end after the last bracket. Non-ASCII text is written as raw UTF-8.
// The caller writes object keys in the order they must appear (the scene file keeps them sorted).
namespace orva::io {

class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // Inside an object: the next value belongs to this key.
    void key(std::string_view name);

    void number(double value);
    void integer(int64_t value);
    void unsignedInteger(uint64_t value);
    void boolean(bool value);
    void string(std::string_view value);

private:
    void beforeValue();
    void openContainer(char bracket);
    void closeContainer(char bracket);

    // Texts of recently written numbers, direct-mapped by their bits: meshes repeat values
    // (a smooth vertex normal at every corner around the vertex, grid UVs), and formatting a
    // double is most of the writer's time. Allocated on the first number.
    struct CachedNumber {
        uint64_t bits = 0;
        uint8_t length = 0; // 0: empty
        char text[31];
    };

    std::string& out_;
    std::vector<uint8_t> hasItems_; // one entry per open container
    bool afterKey_ = false;
    std::vector<CachedNumber> numbers_;
};

// `value` exactly as the JSON library prints a double: a text that reads back as the same double
// and is the shortest such text in all but rare ties (0.8f widened is 0.800000011920929);
// integral values keep ".0" (1.0, -0.0); plain notation for magnitudes from 1e-4 below 1e15,
// otherwise an exponent with a sign and at least two digits (1e+30, 2.5e-05). Non-finite values
// become null, which is all JSON can hold for them.
void appendJsonNumber(std::string& out, double value);

// A quoted, escaped JSON string: quote, backslash and control characters are escaped as the
// JSON library does; bytes that are not valid UTF-8 are replaced by U+FFFD instead of failing.
void appendJsonString(std::string& out, std::string_view text);

} // namespace orva::io
