#pragma once

// A copy of a shared fixture as the stamping code meets it: the file lies
// at C:\Norv\Data\<name> behind a TestPathMapper, and the connection strings
// of the stamping code open it.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "data/connection.h"
#include "tests/data/test_path_mapper.h"
#include "tests/support/temp_dir.h"

namespace norv::test {

class InstalledFixture {
 public:
  // `relative` as in fixture(), e.g. "V2000/company.mdb".
  explicit InstalledFixture(std::string_view relative);

  // Another fixture copied beside the first (the source of a link).
  void add_beside(std::string_view relative);

  const std::filesystem::path& native() const { return native_; }
  const std::string& windows_path() const { return windows_path_; }
  const TestPathMapper& paths() const { return paths_; }
  std::filesystem::path folder() const { return native_.parent_path(); }

  // An open connection through "Provider=Microsoft.jet.OLEDB.4.0; Data Source=".
  std::shared_ptr<data::Connection> connect() const;

 private:
  TempDir dir_;
  TestPathMapper paths_;
  std::filesystem::path native_;
  std::string windows_path_;
};

}  // namespace norv::test
