#include <iconv.h>

#include <cerrno>
#include <string>

#include "jet/base/code_page.h"

namespace norv::jet {

namespace {

// Closes the conversion descriptor on every path.
class Converter {
 public:
  explicit Converter(const std::string& from) : cd_(iconv_open("UTF-32LE", from.c_str())) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // The character one byte stands for, no_character when it stands for
  // none, nullopt when it only starts a multi-byte sequence.
  std::optional<char32_t> convert(std::uint8_t byte) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[8] = {};
    char* in_ptr = in;
    char* out_ptr = reinterpret_cast<char*>(out);
    std::size_t in_left = 1;
    std::size_t out_left = sizeof out;
    std::size_t result = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
    if (result == static_cast<std::size_t>(-1)) {
      if (errno == EINVAL) return std::nullopt;
      return no_character;
    }
    if (sizeof out - out_left != 4) return no_character;
    return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::optional<CodePageTable> system_code_page_table(std::uint16_t number) {
  Converter converter("CP" + std::to_string(number));
  if (!converter.valid()) return std::nullopt;
  CodePageTable table{};
  for (unsigned b = 0; b < 256; ++b) {
    auto c = converter.convert(static_cast<std::uint8_t>(b));
    if (!c) return std::nullopt;  // a lead byte: multi-byte code page
    table[b] = *c;
  }
  return table;
}

}  // namespace norv::jet
