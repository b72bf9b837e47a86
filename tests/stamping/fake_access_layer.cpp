#include "tests/stamping/fake_access_layer.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "data/catalog.h"
#include "data/connection.h"
#include "data/recordset.h"
#include "jet/database.h"
#include "platform/error.h"
#include "platform/path_mapper.h"

namespace norv::test {

FakeAccessLayer& FakeAccessLayer::instance() {
  static FakeAccessLayer layer;
  return layer;
}

void FakeAccessLayer::add(const std::filesystem::path& native_path, FakeDatabase database) {
  std::filesystem::create_directories(native_path.parent_path());
  std::ofstream(native_path) << "fake";
  databases[native_path.string()] = std::move(database);
}

FakeDatabase& FakeAccessLayer::at(const std::filesystem::path& native_path) {
  return databases.at(native_path.string());
}

void FakeAccessLayer::clear() {
  for (const auto& [path, database] : databases) std::filesystem::remove(path);
  databases.clear();
  log.clear();
}

}  // namespace norv::test

namespace norv::jet {

struct Database::Impl {
  std::filesystem::path path;
};

Database Database::open(const std::filesystem::path& path) {
  return Database(std::make_unique<Impl>(Impl{path}));
}
Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;
Database::~Database() {
  if (impl_) test::FakeAccessLayer::instance().log.push_back("close " + impl_->path.string());
}
const std::filesystem::path& Database::path() const { return impl_->path; }

}  // namespace norv::jet

namespace norv::data {

namespace {

test::FakeDatabase& database_of(Connection& connection) {
  return test::FakeAccessLayer::instance().at(connection.database().path());
}

}  // namespace

Connection::Connection(const platform::PathMapper& paths) : paths_(paths) {}

void Connection::set_connection_string(std::string text) { connection_string_ = std::move(text); }

void Connection::open() {
  auto& layer = test::FakeAccessLayer::instance();
  layer.log.push_back("open " + connection_string_);
  std::string source = connection_string_.substr(connection_string_.find("Data Source=") + 12);
  if (!source.empty() && source.front() == ' ') source.erase(0, 1);
  std::filesystem::path native = paths_.to_native(source);
  if (layer.at(native).fails_to_open) throw IoError("cannot open " + native.string());
  database_.emplace(jet::Database::open(native));
}

std::uint64_t Connection::execute(std::string_view statement) {
  test::FakeAccessLayer::instance().log.push_back("execute " + std::string(statement));
  std::string text(statement);
  std::string table = text.substr(7, text.find(" SET ") - 7);
  std::string value = text.substr(text.find(" = ") + 3);
  test::FakeDatabase& database = database_of(*this);
  if (database.fails_on_execute) throw InvalidArgumentError("statement refused: " + text);
  auto named = std::find_if(database.tables.begin(), database.tables.end(), [&](const auto& entry) {
    return std::equal(entry.first.begin(), entry.first.end(), table.begin(), table.end(),
                      [](char a, char b) { return std::toupper(a) == std::toupper(b); });
  });
  auto& rows = named->second;
  for (auto& row : rows) row = value;
  return rows.size();
}

std::uint64_t Connection::check(std::string_view statement) {
  test::FakeAccessLayer::instance().log.push_back("check " + std::string(statement));
  if (database_of(*this).fails_on_execute)
    throw InvalidArgumentError("statement refused: " + std::string(statement));
  return 0;
}

jet::Database& Connection::database() { return *database_; }

void Catalog::set_active_connection(std::shared_ptr<Connection> connection) {
  connection_ = std::move(connection);
}

std::vector<std::string> Catalog::table_names() const {
  std::vector<std::string> names;
  for (const auto& [name, rows] : database_of(*connection_).tables) names.push_back(name);
  return names;
}

void Recordset::open(std::string_view sql, std::shared_ptr<Connection> connection, int, int, int) {
  test::FakeAccessLayer::instance().log.push_back("query " + std::string(sql));
  connection_ = std::move(connection);
  const test::FakeDatabase& database = database_of(*connection_);
  if (!database.highest_company) throw InvalidArgumentError("no Company table");
  if (!database.query_returns_no_row) rows_.push_back({*database.highest_company});
}

std::int64_t Recordset::record_count() const { return static_cast<std::int64_t>(rows_.size()); }

const jet::Value& Recordset::field_value(std::size_t index) const { return rows_.front()[index]; }

}  // namespace norv::data

namespace norv::platform {

bool is_ordinary_file(const std::filesystem::path& native_path) {
  std::error_code error;
  return std::filesystem::is_regular_file(native_path, error) &&
         native_path.filename().string().front() != '.';
}

}  // namespace norv::platform
