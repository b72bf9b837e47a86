#pragma once

// Test doubles for the stamping tests: a window with fixed texts that counts
// its reads, and a path mapper that puts Windows paths below a folder and
// records every path it is asked for.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_mapper.h"
#include "stamping/stamping_context.h"
#include "stamping/updater_window.h"

namespace norv::test {

class FixedWindow : public stamping::UpdaterWindow {
 public:
  std::string version = "1.0";
  std::string year = "2024";
  std::string msg;
  mutable int version_reads = 0;
  mutable int year_reads = 0;

  std::string version_text() const override {
    ++version_reads;
    return version;
  }
  std::string year_text() const override {
    ++year_reads;
    return year;
  }
  std::string& strMsg() override { return msg; }
};

// "C:\Norv\x.mdb" -> <root>/C:/Norv/x.mdb; a doubled backslash becomes a
// doubled slash, which the file system reads as one.
class FolderPathMapper : public platform::PathMapper {
 public:
  explicit FolderPathMapper(std::filesystem::path root) : root_(std::move(root)) {}

  std::filesystem::path to_native(std::string_view windows_path) const override {
    asked.emplace_back(windows_path);
    std::string relative(windows_path);
    for (char& c : relative)
      if (c == '\\') c = '/';
    return root_.string() + "/" + relative;
  }

  // The native path of a Windows path, without recording it.
  std::filesystem::path native(std::string_view windows_path) const {
    auto path = to_native(windows_path);
    asked.pop_back();
    return path;
  }

  mutable std::vector<std::string> asked;

 private:
  std::filesystem::path root_;
};

// Every path the sequence tests for existence, in order.
class TestedPaths : public stamping::StampObserver {
 public:
  std::vector<std::string> paths;
  void file_tested(const std::string& path, bool) override { paths.push_back(path); }
  void table_looked_up(const std::string&, const std::string&, bool, data::Connection&) override {}
};

}  // namespace norv::test
