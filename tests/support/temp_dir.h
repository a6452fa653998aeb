#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace orva::test {

// A fresh folder for the running test, named after it and the process, removed at the end.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("orva_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
               std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;
};

} // namespace orva::test
