#pragma once

// The one wording of "this file cannot be understood", so that every
// engine message about a damaged file reads the same way:
//   "<file> is not a valid Jet database: <what>"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace norv::jet {

// Throws CorruptDatabaseError naming the file.
[[noreturn]] void throw_corrupt(const std::filesystem::path& file, std::string_view what);

// Where a row came from, for error messages only. Cheap to build: nothing is
// formatted unless an error is thrown. The referenced objects must outlive it.
struct RowOrigin {
  const std::filesystem::path& file;
  std::string_view table;
  std::uint32_t page = 0;
  std::uint16_t row = 0;

  // Throws CorruptDatabaseError: "<file> is not a valid Jet database: table
  // <table>, page <page> row <row>: <what>".
  [[noreturn]] void corrupt(std::string_view what) const;
};

}  // namespace norv::jet
