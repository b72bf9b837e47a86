#include "jet/base/code_page.h"

#include <fmt/format.h>

#include "platform/error.h"
#include "platform/utf8.h"
#include "platform/windows_1252.h"

namespace norv::jet {

CodePage CodePage::load(std::uint16_t number) {
  if (number == 1252) return CodePage(number, platform::windows_1252_table());
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
