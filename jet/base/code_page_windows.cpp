#include <windows.h>

#include "jet/base/code_page.h"

namespace norv::jet {

std::optional<CodePageTable> system_code_page_table(std::uint16_t number) {
  CPINFO info{};
  if (!GetCPInfo(number, &info) || info.MaxCharSize != 1) return std::nullopt;
  CodePageTable table{};
  for (unsigned b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    wchar_t out[2] = {};
    int n = MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, &in, 1, out, 2);
    table[b] = n == 1 ? static_cast<char32_t>(out[0]) : no_character;
  }
  return table;
}

}  // namespace norv::jet
