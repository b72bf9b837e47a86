#include "jet/long_value_appender.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/data_page.h"
#include "jet/format_fault.h"
#include "jet/little_endian.h"

namespace norv::jet {

namespace {

constexpr std::size_t next_pointer_size = 4;
constexpr WriteStage stage = WriteStage::new_rows;

}  // namespace

RowPointer LongValueAppender::place(std::size_t row_size) {
  if (pages_.empty() || !plan_.has_room(pages_.back(), row_size, stage))
    pages_.push_back(plan_.add_page(long_value_owner));
  const std::size_t row = plan_.append_row(pages_.back(), std::vector<std::uint8_t>(row_size), 0,
                                           stage);
  return {pages_.back(), static_cast<std::uint8_t>(row)};
}

std::vector<std::uint8_t> LongValueAppender::store(std::span<const std::uint8_t> data) {
  const std::size_t chunk = plan_.format().max_long_value_chunk;
  LongValueField field;
  field.length = static_cast<std::uint32_t>(data.size());
  if (data.size() <= chunk) {
    field.kind = LongValueKind::single_row;
    field.first_row = place(data.size());
    plan_.replace_row(field.first_row.page, field.first_row.row, {data.begin(), data.end()}, stage);
    return build_long_value_field(field);
  }

  field.kind = LongValueKind::chain;
  std::vector<RowPointer> links;
  for (std::size_t at = 0; at < data.size(); at += chunk)
    links.push_back(place(next_pointer_size + std::min(chunk, data.size() - at)));
  for (std::size_t i = 0; i < links.size(); ++i) {
    const auto part = data.subspan(i * chunk, std::min(chunk, data.size() - i * chunk));
    std::vector<std::uint8_t> row(next_pointer_size);
    le::put32(row.data(), i + 1 < links.size() ? links[i + 1].to_u32() : 0);
    row.insert(row.end(), part.begin(), part.end());
    plan_.replace_row(links[i].page, links[i].row, std::move(row), stage);
  }
  field.first_row = links.front();
  return build_long_value_field(field);
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
        (page.flags(at.row) & 0xC000) != 0)
      throw_format_fault(fmt::format("row {} of page {} is not a long-value row", at.row,
                                     at.page));
    rows.push_back(at);
    if (field.kind == LongValueKind::single_row) return rows;
    const std::vector<std::uint8_t>& body = page.body(at.row);
    if (body.size() < next_pointer_size)
      throw_format_fault(fmt::format("long-value row {} of page {} is too short", at.row,
                                     at.page));
    const std::uint32_t next = le::get32(body.data());
    if (next == 0) return rows;
    at = RowPointer::from_u32(next);
  }
}

}  // namespace norv::jet
