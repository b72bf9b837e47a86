#include "jet/index_writer.h"

#include <fmt/format.h>

#include <algorithm>

#include "jet/index_page.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

bool entry_less(const IndexEntry& a, const IndexEntry& b) {
  if (a.key != b.key) return a.key < b.key;
  return a.row.to_u32() < b.row.to_u32();
}

}  // namespace

std::vector<std::uint8_t> build_index_leaf(const Format& format, std::uint32_t owner,
                                           std::vector<IndexEntry> entries,
                                           std::string_view where) {
  std::sort(entries.begin(), entries.end(), entry_less);
  IndexPage leaf;
  leaf.owner = owner;
  for (IndexEntry& entry : entries) leaf.entries.push_back({std::move(entry.key), entry.row, 0});
  std::optional<std::vector<std::uint8_t>> page = encode_index_page(format, leaf);
  if (!page)
    throw NotSupportedError(fmt::format(
        "{}: the index needs more than one index page ({} entries); the creator writes "
        "indexes of one page only",
        where, entries.size()));
  return std::move(*page);
}

std::uint32_t count_distinct_keys(std::vector<IndexEntry> entries) {
  std::sort(entries.begin(), entries.end(), entry_less);
  std::uint32_t distinct = 0;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (i == 0 || entries[i].key != entries[i - 1].key) ++distinct;
  return distinct;
}

}  // namespace norv::jet
