#include "stamping/table_exists.h"

#include <cstdint>

namespace norv::stamping {

namespace {

// Latin-1 lower-case letters U+00E0..U+00FE (except U+00F7, the division
// sign) map 0x20 down; U+00FF maps to U+0178. Encoded in UTF-8 these are
// C3 A0..C3 BE and C3 BF.
void append_upper_latin1(unsigned char second, std::string& out) {
  if (second >= 0xA0 && second <= 0xBE && second != 0xB7) {
    out += static_cast<char>(0xC3);
    out += static_cast<char>(second - 0x20);
  } else if (second == 0xBF) {
    out += "\xC5\xB8";
  } else {
    out += static_cast<char>(0xC3);
    out += static_cast<char>(second);
  }
}

}  // namespace

std::string upper_case_name(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c >= 'a' && c <= 'z') {
      out += static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xC3 && i + 1 < name.size()) {
      append_upper_latin1(static_cast<unsigned char>(name[++i]), out);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool TableExists(const data::Catalog& catalog, const std::string& table_name) {
  const std::string wanted = upper_case_name(table_name);
  for (const std::string& name : catalog.table_names()) {
    if (upper_case_name(name) == wanted) return true;
  }
  return false;
}

}  // namespace norv::stamping
