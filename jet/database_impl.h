#pragma once

// What a Database holds. Private to the engine: the read side fills it, the
// write side extends it.

#include <filesystem>
#include <map>
#include <optional>

#include "jet/catalog.h"
#include "jet/database.h"
#include "jet/engine_errors.h"
#include "jet/header.h"
#include "jet/page_file.h"
#include "jet/table_def.h"
#include "jet/table_scan.h"
#include "jet/text_codec.h"

namespace norv::jet {

struct Database::Impl {
  Impl(PageFile file, const Header& file_header);

  const Format& format() const { return *header.format; }
  TableReader reader() { return TableReader(pages, format(), text); }

  // The catalog, read on first use.
  const Catalog& catalog();

  // The catalog object of the local table `name` (any case);
  // InvalidArgumentError when there is none.
  const CatalogObject& local_object(std::string_view name);

  // The same with the table's definition, read through this handle.
  struct LocalTable {
    const CatalogObject* object;
    TableDef definition;
  };
  LocalTable local_table(std::string_view name);

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

  // Sets one column of every row of a local table (database_update.cpp).
  std::uint64_t update_column(std::string_view table, std::string_view column,
                              const Value& value);

  std::filesystem::path path;
  PageFile pages;
  Header header;
  TextCodec text;
  std::optional<Catalog> catalog_cache;
  IoStats update_stats;  // pages the updates read and wrote through their own handle
};

}  // namespace norv::jet
