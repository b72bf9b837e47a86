#include "jet/format/column_properties.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include <fmt/format.h>

#include "jet/base/bytes.h"
#include "jet/base/format_fault.h"
#include "platform/case_fold.h"

namespace norv::jet {

namespace {

constexpr std::size_t signature_size = 4;
constexpr std::size_t chunk_header_size = 6;  // u32 length (inclusive), u16 type
constexpr std::uint16_t name_list_chunk = 0x80;
constexpr std::uint16_t column_values_chunk = 0x01;
constexpr std::size_t property_header_size = 8;  // u16 length, u8 ddl, u8 type, u16 name, u16 size

bool has_known_signature(std::span<const std::uint8_t> blob) {
  if (blob.size() < signature_size) return false;
  const std::string_view signature(reinterpret_cast<const char*>(blob.data()), 3);
  return blob[3] == 0 && (signature == "MR2" || signature == "KKD");
}

std::string read_name(const ByteReader& chunk, std::size_t& position, const TextCodec& text) {
  const std::size_t length = chunk.u16(position);
  const Bytes stored = chunk.slice(position + 2, length);
  position += 2 + length;
  return text.decode_name(stored);
}

std::vector<std::string> parse_name_list(const ByteReader& chunk, const TextCodec& text) {
  std::vector<std::string> names;
  for (std::size_t position = 0; position < chunk.size();)
    names.push_back(read_name(chunk, position, text));
  return names;
}

// A column chunk: a block with the column's name, then its properties.
void parse_column_chunk(const ByteReader& chunk, const std::vector<std::string>& names,
                        const TextCodec& text, std::map<std::string, ColumnProperties>& out) {
  const std::size_t name_block = chunk.u32(0);  // includes its own four bytes
  if (name_block < 4 || name_block > chunk.size())
    throw_format_fault("a column property block has an impossible name length");
  if (name_block <= 6) return;  // no column name: nothing this tool reads
  std::size_t name_position = 4;
  ColumnProperties& properties = out[read_name(chunk, name_position, text)];
  for (std::size_t position = name_block; position < chunk.size();) {
    const std::size_t length = chunk.u16(position);
    if (length < property_header_size) throw_format_fault("a column property is cut short");
    ByteReader property(chunk.slice(position, length), "a column property");
    const std::size_t name_index = property.u16(4);
    const Bytes value = property.slice(property_header_size, property.u16(6));
    position += length;
    if (name_index >= names.size()) continue;
    if (platform::equal_ignoring_case(names[name_index], "Required"))
      properties.required = std::any_of(value.begin(), value.end(), [](auto b) { return b != 0; });
    if (platform::equal_ignoring_case(names[name_index], "ValidationRule"))
      properties.has_validation_rule = !text.decode(value).empty();
  }
}

}  // namespace

std::map<std::string, ColumnProperties> parse_column_properties(
    std::span<const std::uint8_t> blob, const TextCodec& text) {
  std::map<std::string, ColumnProperties> columns;
  if (!has_known_signature(blob)) return columns;
  ByteReader reader(blob, "a property blob");
  std::vector<std::string> names;
  for (std::size_t position = signature_size; position < blob.size();) {
    const std::size_t length = reader.u32(position);
    if (length < chunk_header_size)
      throw_format_fault(fmt::format("a property chunk claims {} bytes", length));
    const std::uint16_t type = reader.u16(position + 4);
    ByteReader chunk(reader.slice(position + chunk_header_size, length - chunk_header_size),
                     "a property chunk");
    position += length;
    if (type == name_list_chunk) names = parse_name_list(chunk, text);
    if (type == column_values_chunk) parse_column_chunk(chunk, names, text, columns);
  }
  return columns;
}

}  // namespace norv::jet
