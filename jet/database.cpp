#include "jet/database.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/database_impl.h"
#include "jet/format/column_properties.h"
#include "jet/format/table_def.h"
#include "jet/index/index_max.h"
#include "jet/table/table_info.h"
#include "jet/write/interrupted_update.h"

namespace norv::jet {

Database::Impl::Impl(platform::Storage& file_storage, PageFile file, const Header& file_header)
    : storage(&file_storage),
      path(file.path()),
      pages(std::move(file)),
      header(file_header),
      text(file_header.format->version, file_header.code_page) {}

const Catalog& Database::Impl::catalog() {
  if (!catalog_cache) catalog_cache = Catalog::read(reader());
  return *catalog_cache;
}

const CatalogObject& Database::Impl::local_object(std::string_view name) {
  const CatalogObject* object = catalog().find_local_table(name);
  if (object == nullptr)
    throw InvalidArgumentError(
        fmt::format("{} has no table named {}; check the table's name", path.string(), name));
  return *object;
}

const CatalogObject& Database::Impl::local_object(const CatalogEntry& entry) {
  const CatalogObject* object = catalog().object_of(entry);
  if (object == nullptr || entry.definition_page == 0)
    throw InvalidArgumentError(fmt::format(
        "the catalog entry {} is not a local table of {}; pass a TABLE, SYSTEM TABLE or "
        "ACCESS TABLE entry of this database's own catalog",
        entry.name, path.string()));
  return *object;
}

TableInfo Database::Impl::describe(const CatalogObject& object) {
  const TableDef definition = read_table_def(pages, format(), text, object.definition_page());
  const auto properties = parse_column_properties(catalog().properties(object, reader()), text);
  return describe_table(object.name, format(), definition, properties);
}

Database Database::open(const std::filesystem::path& path) {
  return open(path, platform::system_storage());
}

Database Database::open(const std::filesystem::path& path, platform::Storage& storage) {
  const Recovery recovery =
      with_file_context(path, [&] { return recover_before_reading(storage, path); });
  PageFile pages = PageFile::open(path, platform::FileMode::read_only, storage);
  Database database(with_file_context(path, [&] {
    const Header header = read_header(pages);
    return std::make_unique<Impl>(storage, std::move(pages), header);
  }));
  database.impl_->restored = recovery == Recovery::restored;
  return database;
}

bool Database::restored_interrupted_update() const { return impl_->restored; }

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::Database(Database&&) noexcept = default;
Database& Database::operator=(Database&&) noexcept = default;
Database::~Database() = default;

const std::filesystem::path& Database::path() const { return impl_->path; }
FormatVersion Database::format() const { return impl_->format().version; }
std::uint32_t Database::page_size() const { return impl_->pages.page_size(); }
std::uint32_t Database::page_count() const { return impl_->pages.page_count(); }
std::uint16_t Database::code_page() const { return impl_->header.code_page; }
std::uint32_t Database::encoding_key() const { return impl_->header.encoding_key; }

const std::vector<CatalogEntry>& Database::catalog() const {
  return impl_->operation([&]() -> const std::vector<CatalogEntry>& {
    return impl_->catalog().entries();
  });
}

TableInfo Database::table(std::string_view name) const {
  return impl_->operation([&] { return impl_->describe(impl_->local_object(name)); });
}

TableInfo Database::table(const CatalogEntry& entry) const {
  return impl_->operation([&] { return impl_->describe(impl_->local_object(entry)); });
}

std::optional<Value> Database::max_through_index(const TableInfo& table,
                                                const ColumnInfo& column) const {
  return impl_->operation([&]() -> std::optional<Value> {
    const TableDef definition =
        read_table_def(impl_->pages, impl_->format(), impl_->text, table.definition_page);
    const auto found = std::find_if(definition.columns.begin(), definition.columns.end(),
                                    [&](const ColumnDef& c) { return c.number == column.number; });
    if (found == definition.columns.end()) return std::nullopt;
    return jet::max_through_index(impl_->reader(), definition,
                                  static_cast<std::size_t>(found - definition.columns.begin()));
  });
}

void Database::for_each_row(const TableInfo& table,
                            const std::function<void(const std::vector<Value>&)>& visit) const {
  impl_->operation([&] {
    const TableDef definition =
        read_table_def(impl_->pages, impl_->format(), impl_->text, table.definition_page);
    impl_->reader().for_each_row(definition, table.name,
                                 [&](std::vector<Value>& values) { visit(values); });
  });
}

std::uint64_t Database::update_column(std::string_view table, std::string_view column,
                                      const Value& value) {
  return impl_->operation([&] {
    const CatalogObject& object = impl_->local_object(table);
    return impl_->update_column(object.name, object.definition_page(), {column, std::nullopt},
                                value);
  });
}

std::uint64_t Database::update_column(const TableInfo& table, const ColumnInfo& column,
                                      const Value& value) {
  return impl_->operation([&] {
    return impl_->update_column(table.name, table.definition_page, {column.name, column.number},
                                value);
  });
}

std::uint64_t Database::plan_update_column(const TableInfo& table, const ColumnInfo& column,
                                           const Value& value) {
  return impl_->operation([&] {
    return impl_->update_column(table.name, table.definition_page, {column.name, column.number},
                                value, UpdateMode::plan_only);
  });
}

IoStats Database::io_stats() const {
  const IoStats reads = impl_->pages.stats();
  const IoStats& update = impl_->update_stats;
  return {reads.pages_read + update.pages_read, reads.pages_written + update.pages_written,
          reads.bytes_read + update.bytes_read};
}

}  // namespace norv::jet
