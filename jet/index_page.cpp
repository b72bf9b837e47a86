#include "jet/index_page.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/format_fault.h"
#include "jet/little_endian.h"

namespace norv::jet {

namespace {

constexpr std::size_t row_pointer_size = 4;
constexpr std::size_t child_pointer_size = 4;

std::uint32_t big_endian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  return value;
}

// The stored length of each entry, from the bitmap.
std::vector<std::size_t> entry_ends(const IndexPageLayout& at, const std::vector<std::uint8_t>& bytes,
                                    std::uint32_t number) {
  std::vector<std::size_t> ends;
  for (std::size_t k = 0; k < (at.first_entry - at.bitmap) * 8; ++k) {
    if ((bytes[at.bitmap + k / 8] >> (k % 8) & 1) == 0) continue;
    if (at.first_entry + k > bytes.size())
      throw_format_fault(fmt::format("index page {}: the entry bitmap marks an end past the page", number));
    ends.push_back(k);
  }
  return ends;
}

IndexPageEntry split_entry(std::vector<std::uint8_t> bytes, bool leaf, std::uint32_t number) {
  const std::size_t tail = row_pointer_size + (leaf ? 0 : child_pointer_size);
  if (bytes.size() < tail)
    throw_format_fault(fmt::format("index page {}: an entry of {} bytes is shorter than its pointers",
                                   number, bytes.size()));
  IndexPageEntry entry;
  const std::size_t key_size = bytes.size() - tail;
  const std::span<const std::uint8_t> pointer(bytes.data() + key_size, row_pointer_size);
  entry.row = RowPointer{big_endian(pointer.first(3)), pointer[3]};
  if (!leaf) entry.child = big_endian(std::span(bytes).subspan(key_size + row_pointer_size));
  bytes.resize(key_size);
  entry.key = std::move(bytes);
  return entry;
}

}  // namespace

const IndexPageLayout& index_page_layout(const Format& format) {
  static const IndexPageLayout jet3{8, 12, 16, 20, 1, 22, 0xF8};
  static const IndexPageLayout jet4{12, 16, 20, 24, 2, 27, 0x1E0};
  return format.version == FormatVersion::jet4 ? jet4 : jet3;
}

IndexPage parse_index_page(const Format& format, const Page& page) {
  const IndexPageLayout& at = index_page_layout(format);
  const std::vector<std::uint8_t> bytes(page.bytes().begin(), page.bytes().end());
  const std::uint32_t number = page.number();
  if (bytes.size() <= at.first_entry ||
      (page.type() != index_node_page_type && page.type() != index_leaf_page_type))
    throw_format_fault(fmt::format("page {} is not an index page", number));
  IndexPage out;
  out.number = number;
  out.leaf = page.type() == index_leaf_page_type;
  out.owner = le::get32(bytes.data() + 4);
  out.previous = le::get32(bytes.data() + at.previous);
  out.next = le::get32(bytes.data() + at.next);
  out.tail = le::get32(bytes.data() + at.tail);
  const std::size_t prefix =
      at.prefix_size == 1 ? bytes[at.prefix_length] : le::get16(bytes.data() + at.prefix_length);
  const std::vector<std::size_t> ends = entry_ends(at, bytes, number);
  const std::size_t data_end = ends.empty() ? 0 : ends.back();
  if (le::get16(bytes.data() + 2) != bytes.size() - at.first_entry - data_end)
    throw_format_fault(fmt::format("index page {}: free space {} where its entries leave {}", number,
                                   le::get16(bytes.data() + 2), bytes.size() - at.first_entry - data_end));
  std::size_t start = 0;
  std::vector<std::uint8_t> first;
  for (std::size_t end : ends) {
    std::vector<std::uint8_t> entry;
    if (start != 0) {
      if (prefix > first.size())
        throw_format_fault(fmt::format("index page {}: prefix of {} bytes is longer than its first entry",
                                       number, prefix));
      entry.assign(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(prefix));
    }
    entry.insert(entry.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at.first_entry + start),
                 bytes.begin() + static_cast<std::ptrdiff_t>(at.first_entry + end));
    if (start == 0) first = entry;
    out.entries.push_back(split_entry(std::move(entry), out.leaf, number));
    start = end;
  }
  return out;
}

bool entry_precedes(const IndexPageEntry& a, const IndexPageEntry& b) {
  if (a.key != b.key)
    return std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end());
  return a.row.to_u32() < b.row.to_u32();
}

}  // namespace norv::jet
