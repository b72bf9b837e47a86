#pragma once

// A stand-in for the platform's path mapper: every drive is the same test
// folder, "\" separates components, letter case is kept.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/path_mapper.h"

namespace norv::test {

class TestPathMapper : public platform::PathMapper {
 public:
  explicit TestPathMapper(std::filesystem::path root) : root_(std::move(root)) {}

  std::filesystem::path to_native(std::string_view windows_path) const override {
    if (windows_path.size() >= 2 && windows_path[1] == ':') windows_path.remove_prefix(2);
    std::string relative(windows_path);
    for (char& c : relative)
      if (c == '\\') c = '/';
    while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
    return (root_ / relative).lexically_normal();
  }

 private:
  std::filesystem::path root_;
};

}  // namespace norv::test
