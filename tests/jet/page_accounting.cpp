#include "tests/jet/page_accounting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "jet/base/little_endian.h"
#include "jet/database.h"
#include "jet/format/data_page.h"
#include "jet/format/header.h"
#include "jet/format/long_value.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/format/usage_map.h"
#include "jet/pager/page_file.h"
#include "jet/table/row_locations.h"
#include "jet/table/table_scan.h"

namespace norv::jet {

namespace {

using PageSet = std::set<std::uint32_t>;

PageSet map_pages(PageFile& pages, const Format& format, RowPointer where,
                  MapSense sense = MapSense::used) {
  const UsageMap map = read_usage_map(pages, format, where, sense);
  return {map.pages.begin(), map.pages.end()};
}

// The pages holding the rows of one long value, first row first.
std::vector<std::uint32_t> long_value_pages(PageFile& pages, const Format& format,
                                            const LongValueField& field) {
  std::vector<std::uint32_t> out;
  RowPointer link = field.first_row;
  for (std::size_t rows = 0; link.page != 0 && rows < 10000; ++rows) {
    out.push_back(link.page);
    if (field.kind != LongValueKind::chain) break;
    const RowBody body = read_row(pages, format, link);
    if (body.bytes.size() < 4) break;  // the reader refuses it; not this check's business
    link = RowPointer::from_u32(le::get32(body.bytes.data()));
  }
  return out;
}

class TableAccount {
 public:
  TableAccount(PageFile& pages, const Header& header, const TextCodec& text,
               const PageSet& free_pages, const CatalogEntry& entry)
      : pages_(pages),
        format_(*header.format),
        text_(text),
        free_(free_pages),
        table_(entry.name),
        definition_(read_table_def(pages, format_, text, entry.definition_page)) {}

  void check() {
    const TableRows rows = locate_rows(pages_, format_, definition_);
    for (std::uint32_t page : rows.foreign_pages)
      fail("its page map lists page " + std::to_string(page) + ", not one of its data pages");
    const PageSet own(rows.pages.begin(), rows.pages.end());
    for (std::uint32_t page : own) expect_in_use(page, "data page");
    for (const RowLocation& row : rows.rows)
      if (!own.contains(row.body.page))
        fail("a row lives on page " + std::to_string(row.body.page) +
             ", which its page map does not list");
    check_bitmap_pages(definition_.owned_pages_map);
    check_bitmap_pages(definition_.free_space_map);
    check_long_values();
  }

 private:
  // A reference map's bitmap pages belong to no table's rows, so only the
  // global map keeps the next writer from giving them away.
  void check_bitmap_pages(RowPointer map) {
    if (map.page == 0) return;
    for (std::uint32_t page : read_usage_map(pages_, format_, map).bitmap_pages)
      expect_in_use(page, "usage bitmap page");
  }

  void check_long_values() {
    std::map<std::uint16_t, PageSet> column_maps;
    for (const LongValueMaps& maps : definition_.long_value_maps) {
      column_maps[maps.column_number] = map_pages(pages_, format_, maps.owned_pages);
      for (std::uint32_t page : column_maps[maps.column_number])
        expect_in_use(page, "long-value page");
    }
    TableReader reader(pages_, format_, text_);
    reader.for_each_raw_row(definition_, table_, [&](std::vector<Value>& values,
                                                     const RowOrigin& origin) {
      for (std::size_t i = 0; i < definition_.columns.size(); ++i) {
        const ColumnDef& column = definition_.columns[i];
        const auto* raw = std::get_if<Binary>(&values[i]);
        if (!column.is_long_value() || raw == nullptr) continue;
        const LongValueField field = parse_long_value_field(raw->bytes, origin);
        if (field.kind == LongValueKind::inline_data) continue;
        const auto map = column_maps.find(column.number);
        for (std::uint32_t page : long_value_pages(pages_, format_, field)) {
          expect_in_use(page, "long-value page");
          if (map != column_maps.end() && !map->second.contains(page))
            fail("a value of " + column.name + " lives on page " + std::to_string(page) +
                 ", which the column's page map does not list");
        }
      }
    });
  }

  void expect_in_use(std::uint32_t page, const std::string& what) {
    if (free_.contains(page))
      fail("its " + what + " " + std::to_string(page) + " is marked free in the global map");
  }

  void fail(const std::string& what) {
    ADD_FAILURE() << pages_.path() << ": table " << table_ << ": " << what;
  }

  PageFile& pages_;
  const Format& format_;
  const TextCodec& text_;
  const PageSet& free_;
  std::string table_;
  TableDef definition_;
};

}  // namespace

void expect_pages_accounted_for(const std::filesystem::path& db) {
  const Database database = Database::open(db);
  PageFile pages = PageFile::open(db, platform::FileMode::read_only);
  const Header header = read_header(pages);
  const TextCodec text(header.format->version, header.code_page);
  const PageSet free_pages = map_pages(pages, *header.format, global_usage_map, MapSense::free);
  for (const CatalogEntry& entry : database.catalog()) {
    if (entry.kind != CatalogKind::table && entry.kind != CatalogKind::system_table) continue;
    try {
      TableAccount(pages, header, text, free_pages, entry).check();
    } catch (const std::exception& error) {
      ADD_FAILURE() << db << ": table " << entry.name << ": " << error.what();
    }
  }
}

}  // namespace norv::jet
