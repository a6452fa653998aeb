#pragma once

#include <cstddef>

namespace orva {

// One branding image compiled into the executable (the table is generated at build time from
// src/resources/branding by cmake/embed_files.cmake).
struct BrandingFile {
    const char* name;          // file name, e.g. "icon_256.png"
    const unsigned char* data; // the PNG bytes, exactly as in the file
    size_t size;               // byte count
};

// The table, in the order icon_256.png, wordmark.png, logo_with_text.png; `count` receives its length.
const BrandingFile* brandingFiles(size_t* count);

} // namespace orva
