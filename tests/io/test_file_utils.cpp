#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "io/file_utils.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using orva::io::readFile;
using orva::io::writeFileAtomic;

namespace {

using FileUtils = orva::test::TempDirTest;

std::string contents(const std::string& path) {
    std::string out;
    EXPECT_TRUE(readFile(path, out));
    return out;
}

} // namespace

TEST_F(FileUtils, WriteThenReadRoundTripsBinaryBytes) {
    // Embedded zero bytes and a trailing CR must survive (binary mode, no text conversion).
    const std::string bytes("a\0b\r\n\xff\0", 7);
    const std::string p = path("data.bin");
    std::string error;
    ASSERT_TRUE(writeFileAtomic(p, bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(contents(p), bytes);
    EXPECT_FALSE(fs::exists(p + ".tmp"));
}

TEST_F(FileUtils, WriteReplacesAnExistingFileWhole) {
    const std::string p = path("scene.orva");
    const std::string longText(10000, 'x');
    ASSERT_TRUE(writeFileAtomic(p, longText.data(), longText.size()));
    ASSERT_TRUE(writeFileAtomic(p, "short", 5));
    EXPECT_EQ(contents(p), "short");
    ASSERT_TRUE(writeFileAtomic(p, nullptr, 0));
    EXPECT_EQ(contents(p), "");
}

TEST_F(FileUtils, WriteIntoAMissingFolderFailsWithTheDestinationInTheMessage) {
    const std::string p = path("no/such/folder/out.bmp");
    std::string error;
    EXPECT_FALSE(writeFileAtomic(p, "x", 1, &error));
    EXPECT_EQ(error, "Cannot open file for writing: " + p);
    EXPECT_FALSE(writeFileAtomic(p, "x", 1)); // no error string: still just false
}

// The rename cannot replace a folder: the old content stays and no temporary file is left.
TEST_F(FileUtils, FailedReplaceKeepsTheOldTargetAndRemovesTheTemporary) {
    const std::string p = path("target");
    fs::create_directories(p);
    fs::path keep = fs::path(p) / "keep.txt";
    ASSERT_TRUE(writeFileAtomic(keep.string(), "old", 3));
    std::string error;
    EXPECT_FALSE(writeFileAtomic(p, "new", 3, &error));
    EXPECT_EQ(error.rfind("Failed to replace " + p + ": ", 0), 0u) << error;
    EXPECT_EQ(contents(keep.string()), "old");
    EXPECT_FALSE(fs::exists(p + ".tmp"));
}

// A full disk shows up as a failing write; /dev/full gives exactly that.
TEST_F(FileUtils, WriteFailureReportsAndLeavesNoTemporary) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const std::string p = path("full");
    fs::create_symlink("/dev/full", p + ".tmp");
    std::string error;
    EXPECT_FALSE(writeFileAtomic(p, "data", 4, &error));
    EXPECT_EQ(error, "Failed to write file: " + p);
    EXPECT_FALSE(fs::exists(fs::symlink_status(p + ".tmp")));
    EXPECT_FALSE(fs::exists(p));
}

TEST_F(FileUtils, ReadErrors) {
    std::string out = "unchanged?", error;
    const std::string missing = path("missing.orva");
    EXPECT_FALSE(readFile(missing, out, &error));
    EXPECT_EQ(error, "Cannot open file for reading: " + missing);
    // A folder opens on Linux but is not a file.
    EXPECT_FALSE(readFile(dir.string(), out, &error));
    EXPECT_EQ(error, "Cannot open file for reading: " + dir.string());
}

TEST_F(FileUtils, ReadsFilesWhoseSizeIsNotKnownUpFront) {
    // /proc files report size 0 but have content: the reader must not trust the size alone.
    std::string out;
    ASSERT_TRUE(readFile("/proc/self/status", out));
    EXPECT_NE(out.find("Name:"), std::string::npos);
}
