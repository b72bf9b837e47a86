#include "jet/long_value_writer.h"

#include <fmt/format.h>

#include "jet/data_page.h"
#include "jet/little_endian.h"
#include "jet/long_value_field.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

constexpr std::size_t max_inline = 64;
constexpr std::size_t next_pointer_size = 4;

}  // namespace

LongValueWriter::LongValueWriter(const Format& format, PageImages& pages)
    : format_(format), rows_(format, pages, long_value_owner) {}

std::vector<std::uint8_t> LongValueWriter::store(std::span<const std::uint8_t> data) {
  if (data.size() > long_value_max_length)
    throw InvalidArgumentError(fmt::format("a Memo/OLE value of {} bytes is larger than Jet allows",
                                           data.size()));
  if (data.size() <= max_inline) return inline_long_value(data);
  LongValueField field;
  field.length = static_cast<std::uint32_t>(data.size());
  if (data.size() <= format_.max_long_value_chunk) {
    field.kind = LongValueKind::single_row;
    field.first_row = rows_.add(data);
    return build_long_value_field(field);
  }
  // A chain is written from its end, so that each link knows its successor.
  std::size_t chunk = format_.max_long_value_chunk;
  std::size_t links = (data.size() + chunk - 1) / chunk;
  RowPointer next;
  for (std::size_t i = links; i-- > 0;) {
    auto part = data.subspan(i * chunk, std::min(chunk, data.size() - i * chunk));
    std::vector<std::uint8_t> row(next_pointer_size);
    le::put32(row.data(), i + 1 == links ? 0 : next.to_u32());
    row.insert(row.end(), part.begin(), part.end());
    next = rows_.add(row);
  }
  field.kind = LongValueKind::chain;
  field.first_row = next;
  return build_long_value_field(field);
}

}  // namespace norv::jet
