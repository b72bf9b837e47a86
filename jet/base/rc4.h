#pragma once

// RC4, as Jet uses it to mask the header block and, in encoded databases,
// to encrypt every page but the header (page_encoding.h). Applying it twice
// restores the data.

#include <cstdint>
#include <span>

namespace norv::jet {

// XORs `data` with the RC4 keystream of `key` (1 to 256 bytes).
void rc4_apply(std::span<const std::uint8_t> key, std::span<std::uint8_t> data);

}  // namespace norv::jet
