#include "tests/support/windows_command_line.h"

#include "platform/system_text_windows.h"

namespace norv::test {

namespace {

// One argument quoted so that the C runtime's parser gives it back unchanged:
// backslashes are literal except before a quote.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return argument;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

std::wstring windows_command_line(const std::vector<std::string>& argv) {
  std::wstring line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += L' ';
    line += quoted(platform::utf8_to_wide(argument));
  }
  return line;
}

}  // namespace norv::test
