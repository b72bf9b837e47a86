#pragma once

// Keeping one real index in order while a column it holds is updated
// (column_update.h): the rows' old and new keys are collected while the
// rows are planned, then the whole index is checked and its changed leaf
// pages re-encoded into the update plan.
//
// The tree's shape is never changed: every entry must stay on a leaf page
// that exists, and each leaf's last entry (which its parent node repeats)
// must stay as it is unless the root itself is the only leaf. An update
// needing more (a page split, a changed node entry, an emptied leaf) is
// refused before anything is written, as is a duplicate key in a unique
// index. The leaf pages are written at the rows stage, so a crash leaves
// each leaf page whole, old or new.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/index_key.h"
#include "jet/index_page.h"
#include "jet/table_def.h"
#include "jet/text_codec.h"
#include "jet/update_plan.h"

namespace norv::jet {

class IndexUpdate {
 public:
  // The index `real_index` of `table`, whose column at `position` (in
  // TableDef::columns) every row is given `new_field` (stored form, a Memo
  // as its whole text).
  IndexUpdate(UpdatePlan& plan, const TextCodec& text, const TableDef& table,
              std::string_view table_name, std::size_t real_index, std::size_t position,
              std::vector<std::uint8_t> new_bytes, bool new_present);

  // The row whose header slot is `row` and whose old fields are `fields`
  // (row_codec.h) gets the new value. A row whose key does not change is
  // left alone.
  void change_row(RowPointer row, const std::vector<RowField>& fields, const RowOrigin& origin);

  // Checks uniqueness against every entry, then stages each changed leaf
  // page at WriteStage::rows, fully re-encoded and read back. Throws
  // InvalidArgumentError for a duplicate key, NotSupportedError when the
  // tree would have to change shape, FormatFault when the index does not
  // match the rows.
  void plan();

 private:
  struct KeyChange {
    RowPointer row;
    std::optional<std::vector<std::uint8_t>> old_key;
    std::optional<std::vector<std::uint8_t>> new_key;
  };

  std::optional<std::vector<std::uint8_t>> key_of(const std::vector<RowField>& fields,
                                                  bool with_new_value, const RowOrigin& origin);
  std::vector<IndexPage> read_leaves() const;
  void collect_leaves(std::uint32_t number, int depth, std::vector<IndexPage>& leaves,
                      std::vector<std::uint32_t>& seen) const;
  void remove_old_entries(std::vector<IndexPage>& leaves) const;
  void check_unique(const std::vector<IndexPage>& leaves) const;
  void insert_new_entries(const std::vector<IndexPage>& before,
                          std::vector<IndexPage>& leaves) const;
  void stage(const std::vector<IndexPage>& before, const std::vector<IndexPage>& after);
  [[noreturn]] void refuse_shape_change(std::string_view what) const;

  UpdatePlan& plan_;
  const TextCodec& text_;
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
