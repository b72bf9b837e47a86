#include "jet/long_value_reader.h"

#include <algorithm>
#include <unordered_set>

#include <fmt/format.h>

#include "jet/data_page.h"
#include "jet/format_fault.h"

namespace norv::jet {

namespace {

constexpr std::size_t chain_link_header_size = 4;

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

}  // namespace

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

}  // namespace norv::jet
