#include "jet/long_value.h"

#include <fmt/format.h>

#include <algorithm>
#include <unordered_set>

#include "jet/format_fault.h"
#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

// The field: u32 length with the kind in its top bits, then the first row.
constexpr std::size_t length_and_kind_offset = 0;
// The kind's bits in the top byte of the length; both set is no kind.
constexpr std::uint8_t kind_bits_mask = 0xC0;
constexpr std::size_t first_row_offset = 4;
// A chain's row: the next row's pointer (0 on the last), then data.
constexpr std::size_t chain_link_header_size = 4;

// Reading.

RowBody long_value_row(PageFile& pages, const Format& format, RowPointer where) {
  RowBody row = read_row(pages, format, where);
  if (row.owner != long_value_owner)
    throw_format_fault(fmt::format("a Memo or OLE value points at page {}, which holds no long "
                                   "values",
                                   where.page));
  return row;
}

std::vector<std::uint8_t> read_chain(PageFile& pages, const Format& format,
                                     const LongValueField& field) {
  std::vector<std::uint8_t> data;
  data.reserve(field.length);
  std::unordered_set<std::uint32_t> visited;
  RowPointer link = field.first_row;
  while (data.size() < field.length) {
    if (link.page == 0)
      throw_format_fault(fmt::format("a Memo or OLE value ends after {} of its {} bytes",
                                     data.size(), field.length));
    if (!visited.insert(link.to_u32()).second)
      throw_format_fault(fmt::format("the rows of a Memo or OLE value loop at page {}",
                                     link.page));
    const RowBody body = long_value_row(pages, format, link);
    ByteReader row(body.bytes, "a long-value row");
    row.require(0, chain_link_header_size);
    const Bytes chunk = row.slice(chain_link_header_size, row.size() - chain_link_header_size);
    const std::size_t wanted = std::min<std::size_t>(chunk.size(), field.length - data.size());
    data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(wanted));
    link = RowPointer::from_u32(row.u32(0));
  }
  return data;
}

// Writing.

// The parts of `data` that each fill one LVAL row of a chain.
std::vector<std::span<const std::uint8_t>> chain_parts(const Format& format,
                                                       std::span<const std::uint8_t> data) {
  const std::size_t chunk = format.max_long_value_chunk;
  std::vector<std::span<const std::uint8_t>> parts;
  for (std::size_t at = 0; at < data.size(); at += chunk)
    parts.push_back(data.subspan(at, std::min(chunk, data.size() - at)));
  return parts;
}

std::vector<std::uint8_t> chain_row(std::uint32_t next, std::span<const std::uint8_t> part) {
  std::vector<std::uint8_t> row(chain_link_header_size);
  le::put32(row.data(), next);
  row.insert(row.end(), part.begin(), part.end());
  return row;
}

std::vector<std::uint8_t> stored_field(LongValueKind kind, std::size_t length, RowPointer first) {
  LongValueField field;
  field.kind = kind;
  field.length = static_cast<std::uint32_t>(length);
  field.first_row = first;
  return build_long_value_field(field);
}

constexpr WriteStage appender_stage = WriteStage::new_rows;

}  // namespace

LongValueField parse_long_value_field(std::span<const std::uint8_t> field,
                                      const RowOrigin& origin) {
  if (field.size() < long_value_header_size)
    origin.corrupt(fmt::format("a Memo/OLE field of {} bytes is shorter than its 12-byte header",
                               field.size()));
  std::uint32_t length_and_kind = le::get32(field.data() + length_and_kind_offset);
  std::uint8_t kind_bits = static_cast<std::uint8_t>(length_and_kind >> 24 & kind_bits_mask);
  if (kind_bits == kind_bits_mask) origin.corrupt("a Memo/OLE field has the unknown kind 0xC0");
  LongValueField out;
  out.kind = static_cast<LongValueKind>(kind_bits);
  out.length = length_and_kind & long_value_max_length;
  out.first_row = RowPointer::from_u32(le::get32(field.data() + first_row_offset));
  if (out.kind == LongValueKind::inline_data) {
    std::size_t available = field.size() - long_value_header_size;
    if (out.length > available)
      origin.corrupt(fmt::format("an inline Memo/OLE value claims {} bytes but its field holds {}",
                                 out.length, available));
    auto data = field.subspan(long_value_header_size, out.length);
    out.inline_bytes.assign(data.begin(), data.end());
    out.first_row = {};
  }
  return out;
}

std::vector<std::uint8_t> build_long_value_field(const LongValueField& field) {
  if (field.length > long_value_max_length)
    throw_internal_error(fmt::format(
        "a Memo/OLE value of {} bytes exceeds the format's limit of {} bytes", field.length,
        long_value_max_length));
  bool is_inline = field.kind == LongValueKind::inline_data;
  if (is_inline && field.inline_bytes.size() != field.length)
    throw_internal_error("an inline Memo/OLE field's length disagrees with its data");
  std::vector<std::uint8_t> out(long_value_header_size + (is_inline ? field.length : 0));
  le::put32(out.data() + length_and_kind_offset,
            field.length | static_cast<std::uint32_t>(field.kind) << 24);
  le::put32(out.data() + first_row_offset, is_inline ? 0 : field.first_row.to_u32());
  if (is_inline)
    std::copy(field.inline_bytes.begin(), field.inline_bytes.end(),
              out.begin() + long_value_header_size);
  return out;
}

std::vector<std::uint8_t> inline_long_value(std::span<const std::uint8_t> data) {
  LongValueField field;
  field.kind = LongValueKind::inline_data;
  field.length = static_cast<std::uint32_t>(data.size());
  field.inline_bytes.assign(data.begin(), data.end());
  return build_long_value_field(field);
}


std::vector<std::uint8_t> read_long_value(PageFile& pages, const Format& format,
                                          const LongValueField& field) {
  if (field.length > pages.file_size())
    throw_format_fault(fmt::format("a Memo or OLE value claims {} bytes, more than the file has",
                                   field.length));
  switch (field.kind) {
    case LongValueKind::inline_data:
      return field.inline_bytes;
    case LongValueKind::single_row: {
      const RowBody body = long_value_row(pages, format, field.first_row);
      const Bytes row = body.bytes;
      if (row.size() < field.length)
        throw_format_fault(fmt::format("a Memo or OLE value claims {} bytes, its row holds {}",
                                       field.length, row.size()));
      return {row.begin(), row.begin() + field.length};
    }
    case LongValueKind::chain:
      return read_chain(pages, format, field);
  }
  throw_format_fault("a Memo or OLE value has an unknown kind");
}


LongValueWriter::LongValueWriter(const Format& format, PageImages& pages)
    : format_(format), rows_(format, pages, long_value_owner) {}

std::vector<std::uint8_t> LongValueWriter::store(std::span<const std::uint8_t> data) {
  if (data.size() > long_value_max_length)
    throw InvalidArgumentError(fmt::format("a Memo/OLE value of {} bytes is larger than Jet allows",
                                           data.size()));
  if (data.size() <= inline_long_value_limit) return inline_long_value(data);
  if (data.size() <= format_.max_long_value_chunk)
    return stored_field(LongValueKind::single_row, data.size(), rows_.add(data));
  // A chain is written from its end, so that each link knows its successor.
  const auto parts = chain_parts(format_, data);
  RowPointer next;
  for (std::size_t i = parts.size(); i-- > 0;)
    next = rows_.add(chain_row(i + 1 == parts.size() ? 0 : next.to_u32(), parts[i]));
  return stored_field(LongValueKind::chain, data.size(), next);
}

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
    return stored_field(LongValueKind::single_row, data.size(), row);
  }
  // Every link is placed first, so that each row can name its successor.
  const auto parts = chain_parts(plan_.format(), data);
  std::vector<RowPointer> links;
  for (const auto& part : parts) links.push_back(place(chain_link_header_size + part.size()));
  for (std::size_t i = 0; i < links.size(); ++i) {
    const std::uint32_t next = i + 1 < links.size() ? links[i + 1].to_u32() : 0;
    plan_.replace_row(links[i].page, links[i].row, chain_row(next, parts[i]), appender_stage);
  }
  return stored_field(LongValueKind::chain, data.size(), links.front());
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
