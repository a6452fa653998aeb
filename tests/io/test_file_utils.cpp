#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "io/file_utils.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using orva::io::ensureExtension;
using orva::io::fileName;
using orva::io::fileStem;
using orva::io::readFile;
using orva::io::replaceExtension;
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

// Read-only folders: the temporary file cannot be made, the old file stays as it was.
TEST_F(FileUtils, WriteIntoAReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission checks do not apply to root";
    const std::string p = path("scene.orva");
    ASSERT_TRUE(writeFileAtomic(p, "old", 3));
    ::chmod(dir.c_str(), 0555);
    std::string error;
    const bool written = writeFileAtomic(p, "new", 3, &error);
    ::chmod(dir.c_str(), 0755);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "Cannot open file for writing: " + p);
    EXPECT_EQ(contents(p), "old");
    EXPECT_FALSE(fs::exists(p + ".tmp"));
}

// A temporary file left by an interrupted save is overwritten and does not survive the next one.
TEST_F(FileUtils, StaleTemporaryFileIsReplaced) {
    const std::string p = path("scene.orva");
    ASSERT_TRUE(writeFileAtomic(p + ".tmp", "stale content that is longer", 28));
    ASSERT_TRUE(writeFileAtomic(p, "new", 3));
    EXPECT_EQ(contents(p), "new");
    EXPECT_FALSE(fs::exists(p + ".tmp"));
}

TEST_F(FileUtils, Utf8PathsRoundTrip) {
    const std::string name = "Sz\xc3\xa8ne \xe6\x97\xa5\xe6\x9c\xac.orva";
    const std::string p = path(name);
    EXPECT_EQ(orva::io::pathToUtf8(orva::io::pathFromUtf8(p)), p);
    ASSERT_TRUE(writeFileAtomic(p, "x", 1));
    EXPECT_TRUE(fs::exists(orva::io::pathFromUtf8(p)));
    EXPECT_EQ(fileName(p), name);
    EXPECT_EQ(contents(p), "x");
    // No normalisation: dot segments and doubled slashes stay as written.
    EXPECT_EQ(orva::io::pathToUtf8(orva::io::pathFromUtf8("a//b/../c")), "a//b/../c");
}

TEST(PathNames, FileNameStemAndReplaceExtension) {
    struct Case {
        const char* path;
        const char* name;
        const char* stem;
        const char* withObj; // replaceExtension(path, ".obj")
    };
    const Case cases[] = {
        {"scene.orva", "scene.orva", "scene", "scene.obj"},
        {"dir/a.tar.gz", "a.tar.gz", "a.tar", "dir/a.tar.obj"},
        {"dir/.bashrc", ".bashrc", ".bashrc", "dir/.bashrc.obj"}, // a leading dot alone is no extension
        {"dir/.config.json", ".config.json", ".config", "dir/.config.obj"},
        {"README", "README", "README", "README.obj"},
        {"my.folder/file", "file", "file", "my.folder/file.obj"}, // dots in folders do not count
        {"name.", "name.", "name", "name.obj"},
        {"/abs/path/Model.FBX", "Model.FBX", "Model", "/abs/path/Model.obj"},
        {"", "", "", ".obj"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fileName(c.path), c.name) << c.path;
        EXPECT_EQ(fileStem(c.path), c.stem) << c.path;
        EXPECT_EQ(replaceExtension(c.path, ".obj"), c.withObj) << c.path;
    }
}

TEST(PathNames, EnsureExtensionComparesTheRawTailCaseInsensitively) {
    struct Case {
        const char* path;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"a.OBJ", ".obj", "a.OBJ"},
        {"x", ".orva", "x.orva"},
        {"", ".obj", ".obj"},
        {"scene.ORVA", ".orva", "scene.ORVA"},
        {"scene.obj", ".orva", "scene.obj.orva"},
        {"scene.orva.bak", ".orva", "scene.orva.bak.orva"},
        {"orva", ".orva", "orva.orva"}, // shorter than the extension
        {"sceneorva", ".orva", "sceneorva.orva"},
        {"scene.glb", "", "scene.glb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ensureExtension(c.path, c.extension), c.expected) << c.path << " + " << c.extension;
}
