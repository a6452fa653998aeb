#include "io/json_writer.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace orva::io {
namespace {

using json = nlohmann::json;

std::string number(double v) {
    std::string s;
    appendJsonNumber(s, v);
    return s;
}

// The scene file's layout is defined by the JSON library's tab-indented printer: the streaming
// writer must produce the same bytes for the same document, empty containers and escapes included.
TEST(JsonWriter, MatchesTheLibraryPrinterForNestedDocuments) {
    std::string text;
    JsonWriter w(text);
    w.beginObject();
    w.key("a");
    w.beginArray();
    w.number(1.0);
    w.beginArray();
    w.endArray();
    w.beginObject();
    w.endObject();
    w.beginObject();
    w.key("x");
    w.integer(-3);
    w.key("y");
    w.unsignedInteger(18446744073709551615ull);
    w.endObject();
    w.endArray();
    w.key("b");
    w.boolean(false);
    w.key("c \"quoted\"");
    w.string("tab\there\nnew \\ line \x01 \x7f caf\xC3\xA9");
    w.key("d");
    w.beginObject();
    w.key("e");
    w.beginArray();
    w.number(0.800000011920929);
    w.endArray();
    w.endObject();
    w.endObject();

    json expected = {
        {"a", json::array({1.0, json::array(), json::object(), {{"x", -3}, {"y", 18446744073709551615ull}}})},
        {"b", false},
        {"c \"quoted\"", "tab\there\nnew \\ line \x01 \x7f caf\xC3\xA9"},
        {"d", {{"e", {0.800000011920929}}}}};
    EXPECT_EQ(text, expected.dump(1, '\t'));
    EXPECT_EQ(text.back(), '}');
}

// The writer keeps the texts of recent numbers; repeated and colliding values must still print
// exactly as the library prints them.
TEST(JsonWriter, RepeatedNumbersPrintAsTheLibrary) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> value(-1e6, 1e6);
    std::vector<double> pool(100000);
    for (double& v : pool)
        v = value(rng);
    pool[7] = -0.0;
    pool[8] = 0.0;
    std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
    std::string text;
    JsonWriter w(text);
    json expected = json::array();
    w.beginArray();
    for (int i = 0; i < 300000; ++i) {
        const double v = i % 3 == 0 ? float(pool[pick(rng)]) : pool[pick(rng)];
        w.number(v);
        expected.push_back(v);
    }
    w.endArray();
    EXPECT_EQ(text, expected.dump(1, '\t'));
}

TEST(JsonWriter, EmptyTopLevelContainers) {
    std::string object, array;
    JsonWriter a(object);
    a.beginObject();
    a.endObject();
    JsonWriter b(array);
    b.beginArray();
    b.endArray();
    EXPECT_EQ(object, "{}");
    EXPECT_EQ(array, "[]");
}

TEST(JsonNumber, LayoutOfTheLibraryForEdgeValues) {
    // Each boundary of the plain/exponent layout, signed zeros, the smallest and largest doubles.
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -2.5,
                             100.0,
                             0.1,
                             double(0.8f),
                             1e-4,
                             1.5e-4,
                             9.9e-5,
                             1e-5,
                             1e14,
                             123456789012345.0,
                             1e15,
                             1e16,
                             1e30,
                             1e100,
                             1e-100,
                             5e-324,
                             DBL_MAX,
                             -DBL_MAX,
                             DBL_MIN,
                             0.3,
                             1234.5678};
    for (double v : values)
        EXPECT_EQ(number(v), json(v).dump()) << v;
    EXPECT_EQ(number(double(0.8f)), "0.800000011920929");
    EXPECT_EQ(number(1.0), "1.0");
    EXPECT_EQ(number(-0.0), "-0.0");
    EXPECT_EQ(number(1e30), "1e+30");
    EXPECT_EQ(number(1.5e-5), "1.5e-05");
}

TEST(JsonNumber, NonFiniteValuesBecomeNull) {
    EXPECT_EQ(number(INFINITY), "null");
    EXPECT_EQ(number(-INFINITY), "null");
    EXPECT_EQ(number(NAN), "null");
}

// Every float of a scene is widened to a double: its text must read back as exactly that double
// and equal the library's, also for the floats whose exact decimal value ends in a tie
// (-216.691070556640625 is printed -216.69107055664063 by the library).
TEST(JsonNumber, WidenedFloatsRoundTripAndMatchTheLibrary) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 200000; ++i) {
        uint32_t b = bits(rng);
        float f;
        std::memcpy(&f, &b, sizeof f);
        if (!std::isfinite(f))
            continue;
        const double d = f;
        const std::string mine = number(d);
        const std::string library = json(d).dump();
        ASSERT_EQ(std::strtod(mine.c_str(), nullptr), d) << mine;
        ASSERT_EQ(mine, library);
    }
    EXPECT_EQ(number(double(-216.691070556640625f)), "-216.69107055664063");
}

TEST(JsonString, InvalidUtf8IsReplacedNotThrown) {
    std::string s;
    appendJsonString(s, "a\xFF"
                        "b");
    EXPECT_EQ(s, "\"a\xEF\xBF\xBD"
                 "b\"");
    s.clear();
    appendJsonString(s, "\x1f");
    EXPECT_EQ(s, "\"\\u001f\"");
}

} // namespace
} // namespace orva::io
