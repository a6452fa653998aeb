#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/base64.h"

using orva::io::base64Decode;
using orva::io::base64Encode;

namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

} // namespace

// RFC 4648 section 10: every padding length both ways.
TEST(Base64, StandardVectorsRoundTrip) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"abc", "YWJj"},
    };
    for (const auto& [plain, encoded] : cases) {
        EXPECT_EQ(base64Encode(bytesOf(plain)), encoded);
        std::vector<uint8_t> out = {42};
        EXPECT_TRUE(base64Decode(encoded, out)) << encoded;
        EXPECT_EQ(out, bytesOf(plain)) << encoded;
    }
}

TEST(Base64, EveryByteValueRoundTripsAndUsesTheWholeAlphabet) {
    std::vector<uint8_t> all;
    for (int i = 0; i < 256; ++i)
        all.push_back(uint8_t(i));
    const std::string text = base64Encode(all);
    EXPECT_EQ(text.size(), (all.size() + 2) / 3 * 4);
    EXPECT_NE(text.find('+'), std::string::npos);
    EXPECT_NE(text.find('/'), std::string::npos);
    std::vector<uint8_t> out;
    ASSERT_TRUE(base64Decode(text, out));
    EXPECT_EQ(out, all);
}

TEST(Base64, DecodeSkipsLineBreaksSpacesAndPaddingButNotTabs) {
    struct Case {
        std::string text;
        bool ok;
        std::string bytes; // decoded so far, also on failure
    };
    const Case cases[] = {
        {"YWJj\n", true, "abc"},
        {"YW\r\nJj", true, "abc"},
        {" Y W J j ", true, "abc"},
        {"Zm9v\nYmFy\n", true, "foobar"}, // MIME-style line wrapping
        {"Zm8", true, "fo"},              // missing padding
        {"Zm9vY", true, "foo"},           // a dangling last character is dropped
        {"YWJj\tZA==", false, "abc"},     // tab: stop, keep what came before
        {"YWJj-_", false, "abc"},         // URL-safe alphabet is not ours
        {"YW\xc3\xa4Jj", false, "a"},     // non-ASCII bytes
        {std::string("YWJj\0ZA", 7), false, "abc"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out = {1, 2, 3, 4};
        EXPECT_EQ(base64Decode(c.text, out), c.ok) << c.text;
        EXPECT_EQ(out, bytesOf(c.bytes)) << c.text;
    }
}
