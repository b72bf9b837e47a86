#include "jet/format/index_page.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "jet/format/page_header.h"
#include "platform/error.h"

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

// An entry as it is stored whole: key, row pointer, child (nodes).
std::vector<std::uint8_t> join_entry(const IndexPageEntry& entry, bool leaf) {
  std::vector<std::uint8_t> out = entry.key;
  const std::uint32_t page = entry.row.page;
  out.insert(out.end(), {static_cast<std::uint8_t>(page >> 16), static_cast<std::uint8_t>(page >> 8),
                         static_cast<std::uint8_t>(page), entry.row.row});
  if (!leaf)
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(entry.child >> shift));
  return out;
}

std::size_t common_prefix(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

std::size_t max_prefix(const IndexPageLayout& at) {
  return at.prefix_size == 1 ? std::size_t{0xFF} : std::size_t{0xFFFF};
}

// The prefix Access leaves out of every entry but the first: none when the
// `count` entries of `whole_size` bytes fit unshortened, else as much of the
// first and last entries' `common` prefix as the field holds. nullopt when
// they do not fit even so.
std::optional<std::size_t> prefix_that_fits(const IndexPageLayout& at, std::size_t room,
                                            std::size_t whole_size, std::size_t count,
                                            std::size_t common) {
  if (whole_size <= room) return 0;
  if (count < 2) return std::nullopt;
  const std::size_t prefix = std::min(common, max_prefix(at));
  if (whole_size - prefix * (count - 1) > room) return std::nullopt;
  return prefix;
}

}  // namespace

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
  out.owner = le::get32(bytes.data() + page_owner_offset);
  out.previous = le::get32(bytes.data() + at.previous);
  out.next = le::get32(bytes.data() + at.next);
  out.tail = le::get32(bytes.data() + at.tail);
  const std::size_t prefix =
      at.prefix_size == 1 ? bytes[at.prefix_length] : le::get16(bytes.data() + at.prefix_length);
  const std::vector<std::size_t> ends = entry_ends(at, bytes, number);
  const std::size_t data_end = ends.empty() ? 0 : ends.back();
  const std::uint16_t free_space = le::get16(bytes.data() + page_free_space_offset);
  if (free_space != bytes.size() - at.first_entry - data_end)
    throw_format_fault(fmt::format("index page {}: free space {} where its entries leave {}", number,
                                   free_space, bytes.size() - at.first_entry - data_end));
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

std::optional<std::vector<std::uint8_t>> encode_index_page(const Format& format,
                                                           const IndexPage& page) {
  const IndexPageLayout& at = index_page_layout(format);
  std::vector<std::vector<std::uint8_t>> entries;
  for (const IndexPageEntry& entry : page.entries) entries.push_back(join_entry(entry, page.leaf));
  const std::size_t room = format.page_size - at.first_entry;
  std::size_t whole_size = 0;
  for (const std::vector<std::uint8_t>& entry : entries) whole_size += entry.size();
  const std::optional<std::size_t> fitting_prefix = prefix_that_fits(
      at, room, whole_size, entries.size(),
      entries.empty() ? 0 : common_prefix(entries.front(), entries.back()));
  if (!fitting_prefix) return std::nullopt;
  const std::size_t prefix = *fitting_prefix;

  std::vector<std::uint8_t> out(format.page_size, 0);
  write_page_header(out, page.leaf ? index_leaf_page_type : index_node_page_type);
  le::put32(out.data() + page_owner_offset, page.owner);
  le::put32(out.data() + at.previous, page.previous);
  le::put32(out.data() + at.next, page.next);
  le::put32(out.data() + at.tail, page.tail);
  if (at.prefix_size == 1)
    out[at.prefix_length] = static_cast<std::uint8_t>(prefix);
  else
    le::put16(out.data() + at.prefix_length, static_cast<std::uint16_t>(prefix));
  out[at.prefix_length + at.prefix_size] = page.leaf ? 0x00 : 0x01;
  std::size_t end = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t skip = i == 0 ? 0 : prefix;
    std::copy(entries[i].begin() + static_cast<std::ptrdiff_t>(skip), entries[i].end(),
              out.begin() + static_cast<std::ptrdiff_t>(at.first_entry + end));
    end += entries[i].size() - skip;
    out[at.bitmap + end / 8] |= static_cast<std::uint8_t>(1u << (end % 8));
  }
  le::put16(out.data() + page_free_space_offset, static_cast<std::uint16_t>(room - end));
  return out;
}

std::size_t index_entries_fitting(const Format& format, std::span<const IndexPageEntry> entries,
                                  bool leaf) {
  const IndexPageLayout& at = index_page_layout(format);
  const std::size_t room = format.page_size - at.first_entry;
  if (entries.empty()) return 0;
  const std::vector<std::uint8_t> first = join_entry(entries.front(), leaf);
  std::size_t whole_size = 0;
  std::size_t count = 0;
  // Adding an entry never shrinks the stored size (the first and last
  // entries' common prefix only shortens), so the first that does not fit
  // ends the page.
  for (const IndexPageEntry& entry : entries) {
    const std::vector<std::uint8_t> last = join_entry(entry, leaf);
    if (!prefix_that_fits(at, room, whole_size + last.size(), count + 1,
                          common_prefix(first, last)))
      break;
    whole_size += last.size();
    ++count;
  }
  return count;
}

bool entry_precedes(const IndexPageEntry& a, const IndexPageEntry& b) {
  if (a.key != b.key)
    return std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end());
  return a.row.to_u32() < b.row.to_u32();
}

std::uint32_t count_distinct_keys(const std::vector<IndexPageEntry>& entries) {
  std::vector<std::vector<std::uint8_t>> keys;
  for (const IndexPageEntry& entry : entries) keys.push_back(entry.key);
  std::sort(keys.begin(), keys.end());
  return static_cast<std::uint32_t>(std::unique(keys.begin(), keys.end()) - keys.begin());
}

}  // namespace norv::jet
