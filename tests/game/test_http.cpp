#include <gtest/gtest.h>

#include <string>

#include "game/http.h"

using orva::game::contentTypeForPath;
using orva::game::percentDecode;

TEST(PercentDecode, DecodesOnlyCompleteHexEscapes) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"/a%20b", "/a b"},
        {"%2e%2E", ".."}, // either case of hex digit
        {"%41%4a%4A", "AJJ"},
        {"100%", "100%"},     // nothing after the sign
        {"%4", "%4"},         // one digit at the end
        {"%zz%4g", "%zz%4g"}, // not hexadecimal
        {"%%41", "%A"},       // the first sign stays, the second starts an escape
        {"%2541", "%41"},     // decoded once, not twice
        {"a+b", "a+b"},       // a plus is not a blank in a path
        {std::string("%00", 3), std::string(1, '\0')},
        {"%ff", "\xff"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(percentDecode(c.in), c.out) << "input " << c.in;
}

TEST(ContentType, FollowsTheExtensionInAnyCase) {
    const struct {
        const char* path;
        const char* type;
    } cases[] = {
        {"/index.html", "text/html; charset=utf-8"},
        {"/INDEX.HTM", "text/html; charset=utf-8"},
        {"/lib/three.module.min.js", "text/javascript; charset=utf-8"},
        {"/a.MJS", "text/javascript; charset=utf-8"},
        {"/game.json", "application/json"},
        {"/scene.glb", "model/gltf-binary"},
        {"/scene.gltf", "model/gltf+json"},
        {"/style.css", "text/css; charset=utf-8"},
        {"/logo.Png", "image/png"},
        {"/a.jpg", "image/jpeg"},
        {"/a.JPEG", "image/jpeg"},
        {"/a.wasm", "application/wasm"},
        {"/LICENSE.txt", "text/plain; charset=utf-8"},
        {"/archive.tar.gz", "application/octet-stream"},
        {"/README", "application/octet-stream"},
        {"/dir.html/file", "application/octet-stream"}, // the folder's dot is not the file's
        {"/html", "application/octet-stream"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(contentTypeForPath(c.path), c.type) << c.path;
}
