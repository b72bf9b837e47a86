#pragma once

// The real-format databases of the shared folder beside the checkout. Tests
// that need them call NORV_REQUIRE_FIXTURES() first: without the folder they
// skip and say so.

#include <filesystem>
#include <optional>
#include <string_view>

#include <gtest/gtest.h>

namespace norv::test {

// The fixtures folder, when it exists.
std::optional<std::filesystem::path> fixtures_dir();

// fixtures_dir() / relative; only valid after NORV_REQUIRE_FIXTURES().
std::filesystem::path fixture(std::string_view relative);

// Copies a fixture into `folder` and returns the copy's path: tests that
// write never touch the shared files.
std::filesystem::path copy_fixture(std::string_view relative, const std::filesystem::path& folder);

}  // namespace norv::test

#define NORV_REQUIRE_FIXTURES()                                                     \
  do {                                                                              \
    if (!::norv::test::fixtures_dir())                                              \
      GTEST_SKIP() << "shared fixtures not found (set NORV_SHARED_DIR or place "     \
                      "../shared beside the checkout)";                             \
  } while (0)
