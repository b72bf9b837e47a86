#pragma once

// What a Database holds. Private to the engine: the read side fills it, the
// write side extends it.

#include <filesystem>
#include <map>
#include <optional>

#include "jet/database.h"
#include "jet/base/engine_errors.h"
#include "jet/format/header.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/pager/page_file.h"
#include "jet/table/catalog.h"
#include "jet/table/relationships.h"
#include "jet/table/table_scan.h"
#include "jet/write/column_update.h"
#include "platform/storage.h"

namespace norv::jet {

struct Database::Impl {
  Impl(platform::Storage& storage, PageFile file, const Header& file_header);

  const Format& format() const { return *header.format; }
  TableReader reader() { return TableReader(pages, format(), text); }

  // The catalog, read on first use.
  const Catalog& catalog();

  // The catalog object of the local table `name` (any case);
  // InvalidArgumentError when there is none.
  const CatalogObject& local_object(std::string_view name);

  // The catalog object a local table's entry of catalog() was made from;
  // InvalidArgumentError for any other entry.
  const CatalogObject& local_object(const CatalogEntry& entry);

  // The public description of a local table, read through this handle.
  TableInfo describe(const CatalogObject& object);

  // Runs one operation: every error leaving it names the file
  // (with_file_context), and the pages kept for the operation are forgotten.
  template <typename Body>
  decltype(auto) operation(Body&& body) {
    struct EndOperation {
      PageFile& pages;
      ~EndOperation() { pages.end_operation(); }
    } end{pages};
    return with_file_context(pages.path(), std::forward<Body>(body));
  }

  // The column an update sets: the one of that name (any case), or, when
  // `number` is given, the column a TableInfo described (its stored name
  // and number).
  struct ColumnChoice {
    std::string_view name;
    std::optional<std::uint16_t> number;
  };

  // Sets one column of every row of the local table `table` (its stored
  // name) defined at `definition_page` (database_update.cpp).
  std::uint64_t update_column(std::string_view table, std::uint32_t definition_page,
                              const ColumnChoice& column, const Value& value,
                              UpdateMode mode = UpdateMode::write);

  // The keys of a local table's column values read through `writer`
  // (relationships.h).
  ColumnKeys column_keys(PageFile& writer);
  // A value of `column` of `table` as those keys hold it; a column whose
  // keys the engine cannot compute is a NotSupportedError.
  RelatedKey related_key(const ColumnDef& column, std::string_view table, const Value& value) const;

  platform::Storage* storage;  // where the updates open the file again
  std::filesystem::path path;
  PageFile pages;
  Header header;
  TextCodec text;
  std::optional<Catalog> catalog_cache;
  IoStats update_stats;  // pages the updates read and wrote through their own handle
  bool restored = false;  // an interrupted update's journal was undone (interrupted_update.h)
};

}  // namespace norv::jet
