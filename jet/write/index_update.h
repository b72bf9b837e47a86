#pragma once

// Keeping one real index in order while a column it holds is updated
// (column_update.h): the rows' old and new keys are collected while the
// rows are planned; then the old entries are removed, uniqueness checked
// and the new entries merged in.
//
// Each index changes by one page write, so that a process dying at any
// point leaves it whole, old or new. When only one leaf page changes, its
// entries still fit and its last entry (which a node above repeats) stays,
// that leaf is rewritten in place. Otherwise the tree is rebuilt: its new
// pages are appended and registered in the index's usage map and the
// global map before anything names them, its root page, which the table
// definition names, is rewritten with the rows (the write that switches
// the index to the new tree), and its old pages are released once nothing
// names them any more.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/format/index_page.h"
#include "jet/format/table_def.h"
#include "jet/index/index_key.h"
#include "jet/index/index_tree.h"
#include "jet/write/update_plan.h"

namespace norv::jet {

class IndexUpdate {
 public:
  // The index `real_index` of `table`, whose column at `position` (in
  // TableDef::columns) every row is given `new_field` (stored form, a Memo
  // as its whole text).
  IndexUpdate(UpdatePlan& plan, const TableDef& table, std::string_view table_name,
              std::size_t real_index, std::size_t position, std::vector<std::uint8_t> new_bytes,
              bool new_present);

  // The row whose header slot is `row` and whose old fields are `fields`
  // (row_codec.h) gets the new value. A row whose key does not change is
  // left alone.
  void change_row(RowPointer row, const std::vector<RowField>& fields, const RowOrigin& origin);

  // Checks uniqueness against every entry, then stages the changed leaf or
  // the rebuilt tree, every page read back. Throws InvalidArgumentError for
  // a duplicate key, FormatFault when the index does not match the rows.
  void plan();

 private:
  struct KeyChange {
    RowPointer row;
    std::optional<std::vector<std::uint8_t>> old_key;
    std::optional<std::vector<std::uint8_t>> new_key;
  };

  // The file, table and index, for messages.
  std::string index_where() const;
  std::optional<std::vector<std::uint8_t>> key_of(const std::vector<RowField>& fields,
                                                  bool with_new_value, const RowOrigin& origin);
  std::vector<IndexPageEntry> entries_after(const std::vector<IndexPageEntry>& before) const;
  void check_unique(const std::vector<IndexPageEntry>& entries) const;
  bool stage_one_leaf(const IndexTreeContents& tree, const std::vector<IndexPageEntry>& entries);
  void stage_rebuilt_tree(const IndexTreeContents& tree, const std::vector<IndexPageEntry>& entries);
  void check_reads_back(const IndexPage& page, const std::vector<std::uint8_t>& image) const;
  void stage_in_place(std::uint32_t number, std::vector<std::uint8_t> image);

  UpdatePlan& plan_;
  const TableDef& table_;
  std::string_view table_name_;
  std::size_t real_;
  std::size_t position_;
  std::vector<std::uint8_t> new_bytes_;
  bool new_present_;
  std::string name_;   // the index's names, for messages
  std::string where_;  // file and table, for key errors
  std::vector<KeyChange> changes_;
};

}  // namespace norv::jet
