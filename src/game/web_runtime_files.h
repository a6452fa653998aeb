#pragma once

#include <cstddef>

namespace orva::game {

// One file every web build receives, compiled into the executable (the table is generated at
// build time by cmake/embed_files.cmake from src/resources/web and the three.js package).
struct RuntimeFile {
    const char* path;          // relative path inside the build folder, '/'-separated
    const unsigned char* data; // the bytes exactly as in the source file
    size_t size;               // byte count
};

// The table in writing order: "index.html" (with the "{{TITLE}}" placeholders), "orva-player.js",
// the two images under "assets/", then the three.js files under "lib/". `count` receives its
// length (8).
const RuntimeFile* webRuntimeFiles(size_t* count);

} // namespace orva::game
