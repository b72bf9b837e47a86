#include "jet/pager/page_encoding.h"

#include <algorithm>
#include <array>

#include "jet/base/little_endian.h"
#include "jet/base/rc4.h"

namespace norv::jet {

void PageEncoding::encode(std::uint32_t number, std::span<std::uint8_t> page) const {
  apply(number, page);
}

void PageEncoding::decode(std::uint32_t number, std::span<std::uint8_t> page) const {
  if (!encoded()) return;
  if (std::all_of(page.begin(), page.end(), [](std::uint8_t b) { return b == 0; })) return;
  apply(number, page);
}

// RC4 is its own inverse: encoding and decoding are the same XOR.
void PageEncoding::apply(std::uint32_t number, std::span<std::uint8_t> page) const {
  if (key_ == 0 || number == 0) return;
  std::array<std::uint8_t, 4> page_key{};
  le::put32(page_key.data(), key_ ^ number);
  rc4_apply(page_key, page);
}

}  // namespace norv::jet
