// cmake/embed_files.cmake turns files into a {name, bytes, size} table at build time; the branding
// images and the web runtime files reach the executable this way.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/embedded_test_files.h"
#include "io/file_utils.h"

// Names keep their quotes; an empty file is an entry of size 0; a file whose length is not
// a multiple of the generator's line width (54 bytes, with 0x00 and 0xff) comes through whole.
TEST(EmbedFiles, TableMatchesTheFiles) {
    struct Expected {
        const char* name;
        const char* file;
    };
    const Expected expected[] = {
        {"empty.bin", "empty.bin"},
        {"dir/with \"quotes\".bin", "sample.bin"},
    };
    size_t count = 0;
    const orva::test::EmbeddedTestFile* files = orva::test::embeddedTestFiles(&count);
    ASSERT_EQ(count, std::size(expected));
    for (size_t i = 0; i < count; ++i) {
        EXPECT_STREQ(files[i].name, expected[i].name);
        std::string onDisk;
        ASSERT_TRUE(orva::io::readFile(std::string(ORVA_TEST_DATA_DIR) + "/" + expected[i].file, onDisk));
        ASSERT_EQ(files[i].size, onDisk.size()) << files[i].name;
        ASSERT_NE(files[i].data, nullptr);
        EXPECT_EQ(std::memcmp(files[i].data, onDisk.data(), onDisk.size()), 0) << files[i].name;
    }
    EXPECT_EQ(files[0].size, 0u);
    EXPECT_EQ(files[1].size, 54u);
}
