#pragma once

#include <cstddef>

namespace orva::test {

// A table made by cmake/embed_files.cmake from the files in tests/app/data, to test the generator.
struct EmbeddedTestFile {
    const char* name;
    const unsigned char* data;
    size_t size;
};
const EmbeddedTestFile* embeddedTestFiles(size_t* count);

} // namespace orva::test
