#pragma once
// A fresh home directory per test, removed afterwards. The root has no "_":
// drag intake reads numbers from the "_"-separated pieces of whole paths.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

namespace vek::library::testing {

class TempHome : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::path(::testing::TempDir()) /
            (std::string("vek-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "home");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::string home() const { return (root_ / "home").string(); }

  // Creates a file (and its folders) under the test's root; returns its path.
  std::string make_file(const std::string& relative, const std::string& content = "clip") const {
    const auto path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << content;
    return path.string();
  }

  std::filesystem::path root_;
};

}  // namespace vek::library::testing
