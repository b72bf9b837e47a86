#pragma once

// A stand-in for the access layer and the engine, linked instead of them
// into the sequence tests: databases are described in memory, keyed by
// native path (the files themselves exist on disk only for the existence
// test), and every call that reaches a database is recorded, so the tests
// can check the exact connection strings and statements and the order in
// which databases are opened and closed.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jet/types/value.h"

namespace norv::test {

struct FakeDatabase {
  using Tables = std::map<std::string, std::vector<std::string>>;

  static FakeDatabase of(Tables tables) {
    FakeDatabase database;
    database.tables = std::move(tables);
    return database;
  }
  FakeDatabase&& with_highest_company(jet::Value value, bool no_row = false) && {
    highest_company = std::move(value);
    query_returns_no_row = no_row;
    return std::move(*this);
  }
  FakeDatabase&& failing_to_open() && {
    fails_to_open = true;
    return std::move(*this);
  }
  FakeDatabase&& failing_on_execute() && {
    fails_on_execute = true;
    return std::move(*this);
  }

  // Table name -> the Version values of its rows, in row order.
  Tables tables;
  // The value SELECT MAX(CompanyNo) FROM Company yields; nothing: the query
  // fails as for a file without a Company table.
  std::optional<jet::Value> highest_company;
  bool query_returns_no_row = false;
  bool fails_to_open = false;
  bool fails_on_execute = false;
};

class FakeAccessLayer {
 public:
  static FakeAccessLayer& instance();

  // Creates the (empty) file and describes its database.
  void add(const std::filesystem::path& native_path, FakeDatabase database);
  FakeDatabase& at(const std::filesystem::path& native_path);
  void clear();

  // "open <connection string>", "execute <statement>", "query <sql>",
  // "close <native path>".
  std::vector<std::string> log;

  std::map<std::string, FakeDatabase> databases;
};

}  // namespace norv::test
