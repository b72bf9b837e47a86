#include "jet/types/guid_text.h"

#include <charconv>
#include <cstdint>
#include <fmt/format.h>

namespace norv::jet {

namespace {

// Where each of the text's 16 bytes goes in the stored GUID.
constexpr std::size_t stored_index[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
// Where a dash stands, counted in bytes of text read before it.
constexpr bool dash_after[16] = {false, false, false, true, false, true, false, true,
                                 false, true,  false, false, false, false, false, false};

}  // namespace

std::string guid_text(const Guid& guid) {
  std::string text = "{";
  for (std::size_t i = 0; i < 16; ++i) {
    text += fmt::format("{:02X}", guid.bytes[stored_index[i]]);
    if (dash_after[i]) text += '-';
  }
  return text + '}';
}

std::optional<Guid> parse_guid_text(std::string_view text) {
  if (!text.empty() && text.front() == '{') {
    if (text.size() < 2 || text.back() != '}') return std::nullopt;
    text = text.substr(1, text.size() - 2);
  }
  Guid guid;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < 16; ++i) {
    if (pos + 2 > text.size()) return std::nullopt;
    std::uint8_t byte = 0;
    const auto [end, ec] = std::from_chars(text.data() + pos, text.data() + pos + 2, byte, 16);
    if (ec != std::errc{} || end != text.data() + pos + 2) return std::nullopt;
    guid.bytes[stored_index[i]] = byte;
    pos += 2;
    if (dash_after[i]) {
      if (pos >= text.size() || text[pos] != '-') return std::nullopt;
      ++pos;
    }
  }
  if (pos != text.size()) return std::nullopt;
  return guid;
}

}  // namespace norv::jet
