#include "jet/write/long_value_update.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"

namespace norv::jet {

namespace {

constexpr WriteStage appender_stage = WriteStage::new_rows;

}  // namespace

RowPointer LongValueAppender::place(std::size_t row_size) {
  if (pages_.empty() || !plan_.has_room(pages_.back(), row_size, appender_stage))
    pages_.push_back(plan_.add_page(long_value_owner));
  const std::size_t row = plan_.append_row(pages_.back(), std::vector<std::uint8_t>(row_size), 0,
                                           appender_stage);
  return {pages_.back(), static_cast<std::uint8_t>(row)};
}

std::vector<std::uint8_t> LongValueAppender::store(std::span<const std::uint8_t> data) {
  if (data.size() <= plan_.format().max_long_value_chunk) {
    const RowPointer row = place(data.size());
    plan_.replace_row(row.page, row.row, {data.begin(), data.end()}, appender_stage);
    return long_value_field_bytes(LongValueKind::single_row, data.size(), row);
  }
  // Every link is placed first, so that each row can name its successor.
  const auto parts = long_value_chain_parts(plan_.format(), data);
  std::vector<RowPointer> links;
  for (const auto& part : parts) links.push_back(place(chain_link_header_size + part.size()));
  for (std::size_t i = 0; i < links.size(); ++i) {
    const std::uint32_t next = i + 1 < links.size() ? links[i + 1].to_u32() : 0;
    plan_.replace_row(links[i].page, links[i].row, long_value_chain_row(next, parts[i]), appender_stage);
  }
  return long_value_field_bytes(LongValueKind::chain, data.size(), links.front());
}

std::vector<RowPointer> long_value_rows(UpdatePlan& plan, const LongValueField& field) {
  std::vector<RowPointer> rows;
  if (field.kind == LongValueKind::inline_data) return rows;
  RowPointer at = field.first_row;
  while (true) {
    if (std::find(rows.begin(), rows.end(), at) != rows.end())
      throw_format_fault(fmt::format("the long-value chain through row {} of page {} loops",
                                     at.row, at.page));
    const DataPageLayout& page = plan.data_page(at.page, WriteStage::new_rows);
    const DataPage parsed = read_data_page(plan.pages(), plan.format(), at.page);
    if (!parsed.holds_long_values() || at.row >= page.row_count() ||
        !is_plain_row(page.flags(at.row)))
      throw_format_fault(fmt::format("row {} of page {} is not a long-value row", at.row,
                                     at.page));
    rows.push_back(at);
    if (field.kind == LongValueKind::single_row) return rows;
    const std::vector<std::uint8_t>& body = page.body(at.row);
    if (body.size() < chain_link_header_size)
      throw_format_fault(fmt::format("long-value row {} of page {} is too short", at.row,
                                     at.page));
    const std::uint32_t next = le::get32(body.data());
    if (next == 0) return rows;
    at = RowPointer::from_u32(next);
  }
}

}  // namespace norv::jet
