#include "io/json_reader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace orva::io {
namespace {

using json = nlohmann::json;

// The fast reader must agree with the library's own parser on what is JSON and on the value
// (types included: 1, 1.0 and -0 print differently).
void expectSameAsLibrary(const std::string& text) {
    json mine = "unchanged";
    const bool ok = parseJson(text, mine);
    const json library = json::parse(text, nullptr, false, false);
    ASSERT_EQ(ok, !library.is_discarded()) << "input: " << text;
    if (ok)
        EXPECT_EQ(mine.dump(), library.dump()) << "input: " << text;
    else
        EXPECT_EQ(mine, json("unchanged")) << "a failed read changed the output: " << text;
}

TEST(JsonReader, AgreesWithTheLibraryOnGrammar) {
    const std::vector<std::string> cases = {"",
                                            " ",
                                            "{}",
                                            "[]",
                                            " [ 1 , { \"k\" : [ ] } ] \n",
                                            "[1,]",
                                            "{\"a\":1,}",
                                            "{\"a\" 1}",
                                            "[1 2]",
                                            "{\"a\":1 \"b\":2}",
                                            "{1:2}",
                                            "tru",
                                            "true",
                                            "false",
                                            "null",
                                            "nul",
                                            "true false",
                                            "[1] x",
                                            "\"abc",
                                            "[\"a\\",
                                            "/* c */ {}",
                                            "{} // c",
                                            "{\"a\":1,\"a\":2}",
                                            "\x01",
                                            "{\"a\":[1,2,{\"b\":null}],\"c\":\"d\"}",
                                            std::string("{} \0 x", 6),
                                            std::string("1\0", 2),
                                            std::string("[1\0]", 4),
                                            std::string("\0", 1),
                                            std::string("tr\0ue", 5)};
    for (const std::string& text : cases)
        expectSameAsLibrary(text);
}

TEST(JsonReader, AgreesWithTheLibraryOnNumbers) {
    const std::vector<std::string> cases = {"0",
                                            "-0",
                                            "-0.0",
                                            "01",
                                            "-01",
                                            "-",
                                            "1.",
                                            ".5",
                                            "+1",
                                            "1e",
                                            "1e+",
                                            "1E5",
                                            "1e+5",
                                            "1.5e-3",
                                            "1e400",
                                            "-1e400",
                                            "1e-400",
                                            "-1e-400",
                                            "1e-324",
                                            "4.9e-324",
                                            "2.2250738585072011e-308",
                                            "18446744073709551615",
                                            "18446744073709551616",
                                            "-9223372036854775808",
                                            "-9223372036854775809",
                                            "123456789012345678901234567890",
                                            "0.000000000000000000000000001e-300",
                                            "100000000000000000000000000000000e300",
                                            "[0.1,-2.5,3]"};
    for (const std::string& text : cases)
        expectSameAsLibrary(text);
}

TEST(JsonReader, AgreesWithTheLibraryOnStrings) {
    const std::vector<std::string> cases = {"\"\\u0000\"",
                                            "\"\\ud83d\\ude00\"",
                                            "\"\\ud83d\"",
                                            "\"\\ude00\"",
                                            "\"\\ud83dx\"",
                                            "\"\\ud83d\\u0041\"",
                                            "\"\\u00e9\\u00E9\"",
                                            "\"\\u12\"",
                                            "\"\\x\"",
                                            "\"\\/\\b\\f\\n\\r\\t\\\"\\\\\"",
                                            "\"caf\xC3\xA9\"",
                                            "\"\xC0\x80\"",
                                            "\"\xC2\x80\"",
                                            "\"\xE0\x9F\x80\"",
                                            "\"\xED\xA0\x80\"",
                                            "\"\xED\x9F\xBF\"",
                                            "\"\xF0\x8F\xBF\xBF\"",
                                            "\"\xF4\x8F\xBF\xBF\"",
                                            "\"\xF4\x90\x80\x80\"",
                                            "\"\xE2\x82\"",
                                            "\"\xE2\x82",
                                            "\"\xFF\"",
                                            "\"a\x01\"",
                                            "\"a\tb\"",
                                            "\"\x7f\"",
                                            std::string("\"a\0b\"", 5),
                                            "\xEF\xBB\xBF{}",
                                            "\xEF\xBB{}",
                                            "\xEF\xBB\xBF",
                                            " \xEF\xBB\xBF{}"};
    for (const std::string& text : cases)
        expectSameAsLibrary(text);
}

// Values under the discarded key are checked like any other but stored as null, at any depth.
TEST(JsonReader, DiscardedKeysAreCheckedButNotStored) {
    json value;
    ASSERT_TRUE(
        parseJson(R"({"a": [1, {"skip": [2, {"x": "y"}, []]}], "skip": {"k": [3]}, "keep": "skip"})", value, "skip"));
    EXPECT_EQ(value, json::parse(R"({"a": [1, {"skip": null}], "skip": null, "keep": "skip"})"));
    EXPECT_FALSE(parseJson(R"({"skip": [1e400]})", value, "skip"));
    EXPECT_FALSE(parseJson(R"({"skip": [1, }"})", value, "skip"));
    EXPECT_FALSE(parseJson(R"({"skip": {"a" 1}})", value, "skip"));
    EXPECT_FALSE(parseJson(R"({"skip": ["\ud800"]})", value, "skip"));
}

// Nesting is limited only by memory: no recursion in the reader (nor in destroying the value).
TEST(JsonReader, DeepNestingNeedsNoRecursion) {
    const size_t depth = 200000;
    const std::string text = std::string(depth, '[') + std::string(depth, ']');
    json value;
    ASSERT_TRUE(parseJson(text, value));
    EXPECT_TRUE(value.is_array());
    EXPECT_FALSE(parseJson(std::string(depth, '[') + std::string(depth - 1, ']'), value));
}

} // namespace
} // namespace orva::io
