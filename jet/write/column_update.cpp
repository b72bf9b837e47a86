#include "jet/write/column_update.h"

#include "jet/index/index_check.h"

#include <fmt/format.h>

#include <algorithm>
#include <set>

#include "jet/base/little_endian.h"
#include "jet/format/data_page.h"
#include "jet/format/long_value.h"
#include "jet/format/usage_map.h"
#include "jet/format/value_codec.h"
#include "jet/index/index_key.h"
#include "jet/table/row_locations.h"
#include "jet/write/free_pages.h"
#include "jet/write/index_update.h"
#include "jet/write/long_value_update.h"
#include "jet/write/row_field_update.h"
#include "jet/write/update_plan.h"
#include "jet/write/usage_map_update.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t overflow_pointer_size = 4;
// A new page is listed as having free space while a short row still fits.
constexpr std::ptrdiff_t useful_free_space = 64;

// The value as the column stores it: the field bytes, or for Memo and OLE
// the data that goes inline or to long-value rows.
struct StoredValue {
  bool present = false;
  bool long_value = false;
  std::vector<std::uint8_t> bytes;
};

class ColumnPlanner {
 public:
  ColumnPlanner(UpdatePlan& plan, const TextCodec& text, const ColumnUpdate& update)
      : plan_(plan),
        text_(text),
        update_(update),
        column_(update.column),
        def_(update.table.columns[update.column]),
        long_values_(plan) {}

  std::uint64_t plan_rows() {
    const StoredValue value = stored_value();
    add_index_updates(value);
    const TableRows rows = locate_rows(plan_.pages(), plan_.format(), update_.table);
    refuse_if_damaged(rows);
    table_pages_ = rows.pages;
    for (const RowLocation& row : rows.rows) plan_row(row, value);
    for (IndexUpdate& index : indexes_) index.plan();
    record_added_pages();
    release_emptied_long_value_pages();
    return rows.rows.size();
  }

 private:
  // The value's kind matches the column's (refuse_value_of_another_kind).
  StoredValue stored_value() const {
    const Value& value = update_.value;
    StoredValue out;
    if (def_.is_boolean()) {
      out.present = std::holds_alternative<bool>(value) && std::get<bool>(value);
      return out;
    }
    if (is_null(value)) return out;
    out.present = true;
    if (def_.type() == ColumnType::memo) {
      out.long_value = true;
      out.bytes = text_.encode(std::get<std::string>(value), def_.allows_compression());
    } else if (def_.type() == ColumnType::ole) {
      out.long_value = true;
      out.bytes = std::get<Binary>(value).bytes;
    } else {
      out.bytes = encode_value(def_, value, text_);
    }
    if (out.long_value && out.bytes.size() > long_value_max_length)
      throw InvalidArgumentError(fmt::format("column {} holds at most {} bytes; use a shorter value",
                                             def_.name, long_value_max_length));
    return out;
  }

  void refuse_if_damaged(const TableRows& rows) const {
    const std::string damage = table_damage(rows, update_.table);
    if (damage.empty()) return;
    throw CorruptDatabaseError(fmt::format(
        "table {} is damaged ({}); repair the database (Compact and Repair in Access) "
        "and run again",
        update_.table_name, damage));
  }

  // One per real index holding the column.
  void add_index_updates(const StoredValue& value) {
    const auto& indexes = update_.table.real_indexes;
    for (std::size_t i = 0; i < indexes.size(); ++i) {
      if (index_holds_column(indexes[i], def_.number))
        indexes_.emplace_back(plan_, update_.table, update_.table_name, i, column_,
                              value.bytes, value.present);
    }
  }

  RowOrigin origin_of(const RowLocation& row) const {
    return {update_.table_name, row.header.page, row.header.row};
  }

  // The row is decoded once; its new body, its index entries and its old
  // long value all start from those fields.
  void plan_row(const RowLocation& row, const StoredValue& value) {
    const std::vector<std::uint8_t> old_body =
        plan_.data_page(row.body.page, WriteStage::rows).body(row.body.row);
    const RowOrigin origin = origin_of(row);
    const std::vector<RowField> fields =
        decode_row_fields(plan_.format(), update_.table, old_body, origin);
    const std::optional<LongValueField> old_long = old_long_value(fields, origin);
    std::vector<std::uint8_t> body =
        value.long_value ? body_with_long_value(old_body, fields, old_long, value, origin)
                         : set_row_field(plan_.format(), update_.table, old_body, fields, column_,
                                         {value.present, value.bytes}, origin);
    if (body == old_body) return;
    for (IndexUpdate& index : indexes_) index.change_row(row.header, fields, origin);
    release_old_long_value(old_long);
    place(row, std::move(body));
  }

  // The old Memo/OLE field of the row, when it has one.
  std::optional<LongValueField> old_long_value(const std::vector<RowField>& fields,
                                               const RowOrigin& origin) const {
    if (!def_.is_long_value()) return std::nullopt;
    const RowField& field = fields.at(column_);
    if (!field.present) return std::nullopt;
    return parse_long_value_field(field.bytes, origin);
  }

  std::vector<std::uint8_t> body_with_long_value(const std::vector<std::uint8_t>& old_body,
                                                 const std::vector<RowField>& fields,
                                                 const std::optional<LongValueField>& old,
                                                 const StoredValue& value,
                                                 const RowOrigin& origin) {
    if (old && read_long_value(plan_.pages(), plan_.format(), *old) == value.bytes)
      return old_body;  // already holds the value: its rows stay as they are

    // The size of the row with a 12-byte field tells whether the data fits
    // inline (Jet 3 rows may need one more jump-table byte or two).
    LongValueField placeholder{LongValueKind::single_row,
                               static_cast<std::uint32_t>(value.bytes.size()),
                               {},
                               {}};
    const std::vector<std::uint8_t> header_only = build_long_value_field(placeholder);
    const std::size_t row_size =
        set_row_field(plan_.format(), update_.table, old_body, fields, column_,
                      {true, header_only}, origin)
            .size();
    const bool fits_inline = value.bytes.size() <= inline_long_value_limit &&
                             row_size + value.bytes.size() + 2 <= plan_.format().max_row_size;
    const std::vector<std::uint8_t> field =
        fits_inline ? inline_long_value(value.bytes) : long_values_.store(value.bytes);
    return set_row_field(plan_.format(), update_.table, old_body, fields, column_, {true, field},
                         origin);
  }

  // The old value's long-value rows are deleted once the row no longer
  // refers to them (the cleanup stage, after the row is written).
  void release_old_long_value(const std::optional<LongValueField>& old) {
    if (!old) return;
    for (const RowPointer& lval : long_value_rows(plan_, *old)) {
      delete_row(lval);
      old_long_value_pages_.insert(lval.page);
    }
  }

  // A long-value page left with no row once the old values are deleted is
  // given back, as Jet gives it back: out of the column's maps once no row
  // points at it any more (cleanup), then free in the global map (release). The next update may take it; this one never does (free_pages.h).
  void release_emptied_long_value_pages() {
    const LongValueMaps* maps = long_value_maps();
    for (std::uint32_t page : old_long_value_pages_) {
      const DataPageLayout& after = plan_.data_page(page, WriteStage::cleanup);
      bool emptied = true;
      for (std::size_t row = 0; row < after.row_count() && emptied; ++row)
        emptied = after.flags(row) == slot_flags::deleted;
      if (!emptied) continue;
      if (maps != nullptr) {
        for (RowPointer map : {maps->owned_pages, maps->free_space})
          if (map.page != 0)
            mark_page_unused(plan_, map, page, MapSense::used, WriteStage::cleanup);
      }
      mark_page_unused(plan_, global_usage_map, page, MapSense::free, WriteStage::release);
    }
  }

  // The maps of the updated column's long values, when the table keeps them.
  const LongValueMaps* long_value_maps() const {
    for (const LongValueMaps& maps : update_.table.long_value_maps)
      if (maps.column_number == def_.number) return &maps;
    return nullptr;
  }

  void delete_row(RowPointer row) {
    plan_.set_row_flags(row.page, row.row, slot_flags::deleted, WriteStage::cleanup);
    plan_.replace_row(row.page, row.row, {}, WriteStage::cleanup);
  }

  void place(const RowLocation& row, std::vector<std::uint8_t> body) {
    if (plan_.can_replace(row.body.page, row.body.row, body.size(), WriteStage::rows)) {
      plan_.replace_row(row.body.page, row.body.row, std::move(body), WriteStage::rows);
      return;
    }
    const std::uint32_t target = target_page(body.size(), row);
    const std::size_t target_row =
        plan_.append_row(target, std::move(body), slot_flags::hidden, WriteStage::new_rows);
    const RowPointer moved{target, static_cast<std::uint8_t>(target_row)};
    point_header_at(row, moved);
    if (row.overflowed()) delete_row(row.body);
  }

  void point_header_at(const RowLocation& row, RowPointer target) {
    std::vector<std::uint8_t> header =
        plan_.data_page(row.header.page, WriteStage::rows).body(row.header.row);
    if (!row.overflowed()) {
      // The slot keeps its length (Jet leaves the old bytes; they are cleared here).
      std::fill(header.begin(), header.end(), 0);
      if (header.size() < overflow_pointer_size) header.resize(overflow_pointer_size);
    }
    // The pointer is the target's RowPointer: its row, then its page.
    le::put32(header.data(), target.to_u32());
    if (!plan_.can_replace(row.header.page, row.header.row, header.size(), WriteStage::rows))
      throw NotSupportedError(fmt::format(
          "table {}, page {} row {}: the row does not fit its page and its slot is too "
          "short to point elsewhere; compact the database in Access and run again",
          update_.table_name, row.header.page, row.header.row));
    plan_.replace_row(row.header.page, row.header.row, std::move(header), WriteStage::rows);
    plan_.set_row_flags(row.header.page, row.header.row, slot_flags::overflow_pointer,
                        WriteStage::rows);
  }

  // A page of the table with room for the row from the first write on:
  // pages added by this update first, then the table's own pages from the
  // highest down, otherwise a new page.
  std::uint32_t target_page(std::size_t body_size, const RowLocation& row) {
    auto has_room = [&](std::uint32_t page) {
      return page != row.body.page && plan_.has_room(page, body_size, WriteStage::new_rows);
    };
    for (auto page = added_table_pages_.rbegin(); page != added_table_pages_.rend(); ++page)
      if (has_room(*page)) return *page;
    for (auto page = table_pages_.rbegin(); page != table_pages_.rend(); ++page)
      if (has_room(*page)) return *page;
    added_table_pages_.push_back(plan_.add_page(update_.table.page));
    return added_table_pages_.back();
  }

  void record_added_pages() {
    for (std::uint32_t page : added_table_pages_)
      record_page(page, update_.table.owned_pages_map, update_.table.free_space_map);
    const LongValueMaps* maps = long_value_maps();
    for (std::uint32_t page : long_values_.added_pages()) {
      if (maps == nullptr)
        record_page(page, {}, {});
      else
        record_page(page, maps->owned_pages, maps->free_space);
    }
  }

  void record_page(std::uint32_t page, RowPointer owned, RowPointer free_space) {
    mark_page_used(plan_, global_usage_map, page, MapSense::free, WriteStage::global_map);
    if (owned.page != 0) mark_page_used(plan_, owned, page, MapSense::used, WriteStage::table_maps);
    const bool has_room =
        plan_.data_page(page, WriteStage::cleanup).free_space() >= useful_free_space;
    if (free_space.page != 0 && has_room)
      mark_page_used(plan_, free_space, page, MapSense::used, WriteStage::table_maps);
  }

  UpdatePlan& plan_;
  const TextCodec& text_;
  const ColumnUpdate& update_;
  std::size_t column_;
  const ColumnDef& def_;
  LongValueAppender long_values_;
  std::vector<std::uint32_t> table_pages_;
  std::vector<std::uint32_t> added_table_pages_;
  std::set<std::uint32_t> old_long_value_pages_;
  std::vector<IndexUpdate> indexes_;
};

void refuse_unwritable_column(const Format& format, const ColumnUpdate& update,
                              const ColumnDef& column) {
  if (column.is_autonumber())
    throw NotSupportedError(fmt::format("column {} of table {} is an AutoNumber and cannot "
                                        "be updated",
                                        column.name, update.table_name));
  const auto& indexes = update.table.real_indexes;
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (!index_holds_column(indexes[i], column.number)) continue;
    if (computes_keys_of(format, update.table, indexes[i])) continue;
    throw NotSupportedError(fmt::format(
        "column {} of table {} is part of the index {}, whose text is in a sort order "
        "this tool cannot compute keys for; change the value in Access",
        column.name, update.table_name, index_names(update.table, i)));
  }
}

// Before anything else: the planner takes the value as the column's own
// kind (a Memo's text is encoded here, never taken as ready-made bytes).
void refuse_value_of_another_kind(const ColumnUpdate& update, const ColumnDef& column) {
  if (is_null(update.value) || !is_known_column_type(column.type_byte)) return;
  const std::string_view needed = value_kind_for(column.type());
  if (value_kind(update.value) == needed) return;
  throw InvalidArgumentError(fmt::format(
      "column {} ({}) of table {} cannot hold {}; give it {}", column.name, column_type_name(column.type()), update.table_name, value_kind(update.value),
      needed));
}

}  // namespace

std::uint64_t update_column(PageFile& pages, platform::Storage& storage, const Format& format,
                            const TextCodec& text, const ColumnUpdate& update, UpdateMode mode) {
  const ColumnDef& column = update.table.columns.at(update.column);
  refuse_unwritable_column(format, update, column);
  refuse_value_of_another_kind(update, column);
  UpdatePlan plan(pages, format);
  plan.reuse_free_pages(FreePages(pages, format, [&pages, &format, &table = update.table] {
    return pages_of_table(pages, format, table);
  }));
  const std::uint64_t rows = ColumnPlanner(plan, text, update).plan_rows();
  // After the plan, so that a damaged table is named as such.
  refuse_damaged_indexes(TableReader(pages, format, text), update.table_name, update.table);
  if (mode == UpdateMode::write) plan.write(storage);
  return rows;
}

}  // namespace norv::jet
