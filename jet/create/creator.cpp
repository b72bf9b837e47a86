#include "jet/create/creator.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>

#include "jet/base/engine_errors.h"
#include "jet/create/creator_checks.h"
#include "jet/create/system_catalog.h"
#include "jet/create/table_layout.h"
#include "jet/format/data_page.h"
#include "jet/format/file_size_limit.h"
#include "jet/format/header.h"
#include "jet/format/index_page.h"
#include "jet/format/long_value.h"
#include "jet/format/row_codec.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/index/index_key.h"
#include "jet/index/index_tree.h"
#include "jet/pager/page_encoding.h"
#include "jet/pager/page_images.h"
#include "platform/case_fold.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "platform/publish_file.h"

namespace norv::jet {

namespace {

constexpr std::uint32_t global_map_page = 1;
constexpr std::uint32_t global_map_owner = 1;
constexpr double unix_epoch_serial = 25569.0;  // 1970-01-01 as an OLE date

double now_as_ole_date() {
  using namespace std::chrono;
  auto seconds = duration_cast<duration<double>>(system_clock::now().time_since_epoch()).count();
  return unix_epoch_serial + seconds / 86400.0;
}

bool ascends(const IndexSpec& index, std::size_t key) {
  return key >= index.descending.size() || !index.descending[key];
}

struct BuiltIndex {
  const IndexSpec* spec;
  std::vector<std::size_t> columns;  // positions in the table
  std::vector<IndexPageEntry> entries;
  std::vector<std::uint32_t> pages;  // the tree's, root first
  RowPointer usage_map;
};

struct BuiltTable {
  TableSpec spec;
  bool system = false;
  TableDef def;
  std::vector<std::uint32_t> tdef_pages;
  std::vector<BuiltIndex> indexes;
  std::uint32_t autonumber = 0;
  std::vector<std::uint32_t> data_pages;
  std::vector<std::uint32_t> pages_with_room;
  RowPointer owned_map;
  RowPointer free_map;
};

std::size_t column_position(const TableSpec& table, const std::string& name) {
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    if (platform::equal_ignoring_case(table.columns[i].name, name)) return i;
  return 0;  // checked before
}

class DatabaseBuilder {
 public:
  DatabaseBuilder(const std::filesystem::path& path, const DatabaseSpec& spec)
      : path_(path),
        spec_(spec),
        format_(format_for(spec.format)),
        text_(spec.format, spec.code_page),
        pages_(format_.page_size,
               static_cast<std::uint32_t>(format_.max_file_size / format_.page_size),
               [this] {
                 refuse_pages_past_the_limit(path_, format_, std::uint64_t{pages_.count()} + 1,
                                             "the database would be",
                                             "put fewer or smaller rows into it");
               }),
        long_values_(format_, pages_),
        now_(now_as_ole_date()) {}

  PageImages build() {
    pages_.allocate();  // 0: header
    pages_.allocate();  // 1: global usage map
    add_tables();
    allocate_definitions();
    fill_catalog();
    for (BuiltTable& table : tables_) write_rows(table);
    for (BuiltTable& table : tables_) write_indexes(table);
    write_usage_maps();
    for (BuiltTable& table : tables_) write_definition(table);
    write_global_map();
    pages_[0] = build_header_page(format_, spec_.code_page, now_, spec_.encoding_key);
    return std::move(pages_);
  }

 private:
  void add_tables() {
    for (TableSpec& system : system_table_specs(format_)) add_table(std::move(system), true);
    for (const TableSpec& user : spec_.tables) add_table(user, false);
  }

  void add_table(TableSpec spec, bool system) {
    BuiltTable table;
    table.def = lay_out_columns(format_, spec.columns, spec_.code_page, system);
    if (system) {
      for (ColumnDef& c : table.def.columns)
        if (c.name == "Owner" || c.name == "SID") c.flags |= column_flags::owner_or_sid;
    }
    for (const IndexSpec& index : spec.indexes) {
      BuiltIndex built{&index, {}, {}, {}, {}};
      for (const std::string& name : index.columns) built.columns.push_back(column_position(spec, name));
      table.indexes.push_back(std::move(built));
    }
    table.spec = std::move(spec);
    table.system = system;
    tables_.push_back(std::move(table));
    // The index specs must stay where the BuiltIndex pointers see them.
    for (std::size_t i = 0; i < tables_.back().indexes.size(); ++i)
      tables_.back().indexes[i].spec = &tables_.back().spec.indexes[i];
  }

  TableLayout layout(const BuiltTable& table) const {
    TableLayout out;
    out.table_type = table.system ? 'S' : 'N';
    out.num_rows = static_cast<std::uint32_t>(table.spec.rows.size());
    out.autonumber = table.autonumber;
    out.max_cols = table.def.max_cols;
    out.num_var_cols = table.def.num_var_cols;
    out.columns = table.def.columns;
    out.owned_pages = table.owned_map;
    out.free_space = table.free_map;
    for (const BuiltIndex& index : table.indexes) {
      IndexLayout i;
      i.name = index.spec->name;
      for (std::size_t c : index.columns) i.column_numbers.push_back(table.def.columns[c].number);
      for (std::size_t k = 0; k < index.columns.size(); ++k) i.ascending.push_back(ascends(*index.spec, k));
      i.primary_key = index.spec->primary_key;
      bool unique = index.spec->unique || index.spec->primary_key;
      i.flags = static_cast<std::uint8_t>((unique ? index_flags::unique : 0) |
                                          (index.spec->primary_key ? index_flags::required : 0));
      i.unique_keys = count_distinct_keys(index.entries);
      i.usage_map = index.usage_map;
      // Sizing the definition comes before the tree is built.
      i.first_page = index.pages.empty() ? 0 : index.pages.front();
      out.indexes.push_back(std::move(i));
    }
    return out;
  }

  void allocate_definitions() {
    for (BuiltTable& table : tables_) {
      std::size_t size = build_tdef_buffer(format_, layout(table), text_).size();
      for (std::size_t i = 0; i < tdef_page_count(format_, size); ++i)
        table.tdef_pages.push_back(pages_.allocate());
    }
  }

  void fill_catalog() {
    std::vector<std::uint32_t> first_pages;
    for (const BuiltTable& table : tables_) first_pages.push_back(table.tdef_pages.front());
    auto objects = catalog_objects(spec_, first_pages);
    tables_[msysobjects_position].spec.rows = msysobjects_rows(objects, now_);
    tables_[msysaces_position].spec.rows = msysaces_rows(objects);
    tables_[msysqueries_position].spec.rows = msysqueries_rows(spec_, objects);
    tables_[msysrelationships_position].spec.rows = msysrelationships_rows(spec_);
  }

  // The table a refusal concerns; create_database's boundary adds the file.
  static std::string where(const BuiltTable& table) {
    return fmt::format("table {}", table.spec.name);
  }

  // Fills AutoNumber columns and checks Required ones.
  void complete_row(BuiltTable& table, RowValues& row, std::size_t number) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      const ColumnSpec& column = table.spec.columns[c];
      if (column.autonumber) {
        if (is_null(row[c])) row[c] = static_cast<std::int32_t>(table.autonumber + 1);
        if (const auto* v = std::get_if<std::int32_t>(&row[c]); v != nullptr && *v > 0)
          table.autonumber = std::max(table.autonumber, static_cast<std::uint32_t>(*v));
      }
      bool primary_key_column = false;
      for (const BuiltIndex& index : table.indexes)
        if (index.spec->primary_key && std::find(index.columns.begin(), index.columns.end(), c) != index.columns.end())
          primary_key_column = true;
      if ((column.required || primary_key_column) && is_null(row[c]))
        throw InvalidArgumentError(fmt::format("{}: row {}: column {} must have a value",
                                               where(table), number + 1, column.name));
    }
  }

  // Memo text and OLE data become their long-value fields.
  Value stored_form(const BuiltTable& table, const ColumnDef& column, const Value& value) {
    if (!column.is_long_value() || is_null(value)) return value;
    if (column.type() == ColumnType::memo) {
      const auto* text = std::get_if<std::string>(&value);
      if (text == nullptr)
        throw InvalidArgumentError(fmt::format("{}: column {} (Memo) needs a text", where(table), column.name));
      return Binary{long_values_.store(text_.encode(*text, column.allows_compression()))};
    }
    const auto* data = std::get_if<Binary>(&value);
    if (data == nullptr)
      throw InvalidArgumentError(fmt::format("{}: column {} (OLE Object) needs binary data", where(table), column.name));
    return Binary{long_values_.store(data->bytes)};
  }

  void write_rows(BuiltTable& table) {
    DataPageWriter data(format_, pages_, table.tdef_pages.front());
    for (std::size_t r = 0; r < table.spec.rows.size(); ++r) {
      RowValues& row = table.spec.rows[r];
      complete_row(table, row, r);
      RowValues stored;
      for (std::size_t c = 0; c < row.size(); ++c)
        stored.push_back(stored_form(table, table.def.columns[c], row[c]));
      RowPointer at = data.add(encode_row(format_, table.def, stored, text_, table.spec.name));
      for (BuiltIndex& index : table.indexes) {
        IndexPageEntry entry{{}, at, 0};
        for (std::size_t k = 0; k < index.columns.size(); ++k) {
          const std::size_t c = index.columns[k];
          const std::string label = where(table) + ", index " + index.spec->name;
          if (!computes_keys_of(format_, table.def.columns[c]))
            throw NotSupportedError(fmt::format(
                "{}: text of code page {} has no known sort order; index text in code page 1252",
                label, spec_.code_page));
          auto part = index_key_part(format_, table.def.columns[c], row[c], text_,
                                     ascends(*index.spec, k), label);
          entry.key.insert(entry.key.end(), part.begin(), part.end());
        }
        index.entries.push_back(std::move(entry));
      }
    }
    table.data_pages = data.pages();
    table.pages_with_room = data.pages_with_room();
  }

  void write_indexes(BuiltTable& table) {
    for (BuiltIndex& index : table.indexes) {
      std::string label = where(table) + ", index " + index.spec->name;
      bool unique = index.spec->unique || index.spec->primary_key;
      if (unique && count_distinct_keys(index.entries) != index.entries.size())
        throw InvalidArgumentError(label + ": two rows have the same key in a unique index");
      std::sort(index.entries.begin(), index.entries.end(), entry_precedes);
      const std::uint32_t root = pages_.allocate();
      for (BuiltIndexPage& built : build_index_tree(format_, table.tdef_pages.front(), root,
                                                   index.entries, [&] { return pages_.allocate(); },
                                                   label)) {
        index.pages.push_back(built.page.number);
        pages_[built.page.number] = std::move(built.image);
      }
    }
  }

  void write_usage_maps() {
    std::uint32_t covered = pages_.count();
    DataPageWriter maps(format_, pages_, 0);
    for (BuiltTable& table : tables_) {
      table.owned_map = maps.add(build_usage_map(format_, table.data_pages, covered, pages_));
      table.free_map = maps.add(build_usage_map(format_, table.pages_with_room, covered, pages_));
      for (BuiltIndex& index : table.indexes)
        index.usage_map = maps.add(build_usage_map(format_, index.pages, covered, pages_));
    }
  }

  void write_definition(const BuiltTable& table) {
    auto buffer = build_tdef_buffer(format_, layout(table), text_);
    write_tdef_pages(format_, buffer, table.tdef_pages, pages_);
  }

  void write_global_map() {
    DataPageWriter global(format_, pages_, global_map_owner, global_map_page);
    global.add(build_global_usage_map(format_, pages_));
    global.add(build_usage_map(format_, {}, 0, pages_));
  }

  const std::filesystem::path& path_;
  const DatabaseSpec& spec_;
  const Format& format_;
  TextCodec text_;
  PageImages pages_;
  LongValueWriter long_values_;
  double now_;
  std::vector<BuiltTable> tables_;
};

std::filesystem::path building_path(const std::filesystem::path& target) {
  std::random_device random;
  // Made from the program's UTF-8 text, so that a name outside ASCII stays
  // the same name on Windows too.
  return target.parent_path() /
         platform::path_from_utf8(
             fmt::format(".{}.{:08x}.building", platform::utf8_of(target.filename()), random()));
}

void write_pages(const std::filesystem::path& file, PageImages& pages, PageEncoding encoding) {
  platform::File out = platform::File::open(file, platform::FileMode::create_new);
  for (std::uint32_t i = 0; i < pages.count(); ++i) {
    encoding.encode(i, pages[i]);
    out.write_at(static_cast<std::uint64_t>(i) * pages.page_size(), pages[i]);
  }
  out.sync();
}

}  // namespace

void create_database(const std::filesystem::path& path, const DatabaseSpec& spec,
                     const CreateOptions& options) {
  std::error_code ec;
  if (!options.overwrite && std::filesystem::exists(path, ec))
    throw InvalidArgumentError(path.string() + " already exists; remove it or choose another name");
  PageImages pages = with_file_context(path, [&] {
    check_database_spec(spec);
    return DatabaseBuilder(path, spec).build();
  });
  std::filesystem::path building = building_path(path);
  try {
    write_pages(building, pages, PageEncoding(spec.encoding_key));
  } catch (...) {
    std::filesystem::remove(building, ec);
    throw;
  }
  platform::publish_file(building, path, options.overwrite);
}

}  // namespace norv::jet
