#pragma once
// A folder of the test's own for the file operations' tests, on every platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class FilesTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const;
    void write(const std::string& name, const std::string& text) const;
    std::string contents(const std::string& name) const;

    std::filesystem::path folder_;
};
