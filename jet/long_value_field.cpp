#include "jet/long_value_field.h"

#include <algorithm>

#include <fmt/format.h>

#include "jet/engine_errors.h"
#include "jet/little_endian.h"
#include "platform/error.h"

namespace norv::jet {

LongValueField parse_long_value_field(std::span<const std::uint8_t> field,
                                      const RowOrigin& origin) {
  if (field.size() < long_value_header_size)
    origin.corrupt(fmt::format("a Memo/OLE field of {} bytes is shorter than its 12-byte header",
                               field.size()));
  std::uint32_t length_and_kind = le::get32(field.data());
  std::uint8_t kind_bits = static_cast<std::uint8_t>(length_and_kind >> 24 & 0xC0);
  if (kind_bits == 0xC0) origin.corrupt("a Memo/OLE field has the unknown kind 0xC0");
  LongValueField out;
  out.kind = static_cast<LongValueKind>(kind_bits);
  out.length = length_and_kind & long_value_max_length;
  out.first_row = RowPointer::from_u32(le::get32(field.data() + 4));
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
  le::put32(out.data(), field.length | static_cast<std::uint32_t>(field.kind) << 24);
  le::put32(out.data() + 4, is_inline ? 0 : field.first_row.to_u32());
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

}  // namespace norv::jet
