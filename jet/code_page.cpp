#include "jet/code_page.h"

#include <fmt/format.h>

#include "platform/utf8.h"
#include "platform/error.h"

namespace norv::jet {

const CodePageTable& windows_1252_table() {
  static const CodePageTable table = [] {
    // 0x80..0x9F differ from Latin-1; the five bytes Windows leaves
    // undefined there map to the C1 control of the same value, as
    // MultiByteToWideChar does, so that every byte survives a round trip.
    static constexpr char32_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    CodePageTable t{};
    for (unsigned b = 0; b < 256; ++b) t[b] = b;
    for (unsigned b = 0; b < 32; ++b) t[0x80 + b] = high[b];
    return t;
  }();
  return table;
}

CodePage CodePage::load(std::uint16_t number) {
  if (number == 1252) return CodePage(number, windows_1252_table());
  if (auto table = system_code_page_table(number)) return CodePage(number, *table);
  throw NotSupportedError(fmt::format(
      "code page {} cannot be converted on this system (only single-byte code pages are "
      "supported for Jet 3 text)",
      number));
}

CodePage::CodePage(std::uint16_t number, const CodePageTable& table)
    : number_(number), table_(table) {
  for (unsigned b = 0; b < 256; ++b) {
    if (table_[b] != no_character) bytes_.emplace(table_[b], static_cast<std::uint8_t>(b));
  }
}

std::string CodePage::decode(std::span<const std::uint8_t> bytes) const {
  std::string out;
  out.reserve(bytes.size());
  for (std::uint8_t b : bytes) {
    char32_t c = table_[b];
    platform::append_utf8(out, c == no_character ? char32_t{0xFFFD} : c);
  }
  return out;
}

std::optional<std::uint8_t> CodePage::encode(char32_t c) const {
  auto it = bytes_.find(c);
  if (it == bytes_.end()) return std::nullopt;
  return it->second;
}

}  // namespace norv::jet
