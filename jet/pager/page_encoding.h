#pragma once

// Encoded databases: every page but the header page is stored RC4-encrypted
// as a whole, each with a keystream of its own whose key is the four
// little-endian bytes of (the header's encoding key XOR the page number).
// The header page stays as in a plain file, so the key can be read before
// anything is decoded.

#include <cstdint>
#include <span>

namespace norv::jet {

class PageEncoding {
 public:
  PageEncoding() = default;  // a plain file
  explicit PageEncoding(std::uint32_t key) : key_(key) {}

  // The header's encoding key; 0 for a plain file.
  std::uint32_t key() const { return key_; }
  bool encoded() const { return key_ != 0; }

  // Turns a plain image of page `number` into its stored form, in place.
  // Leaves page 0, and every page of a plain file, as it is.
  void encode(std::uint32_t number, std::span<std::uint8_t> page) const;

  // Turns the stored form of page `number` into its plain image, in place.
  // A stored page of zeros is a hole that an interrupted append left, never
  // written: it stays zeros, as in a plain file, so that undoing the append
  // knows it.
  void decode(std::uint32_t number, std::span<std::uint8_t> page) const;

 private:
  void apply(std::uint32_t number, std::span<std::uint8_t> page) const;

  std::uint32_t key_ = 0;
};

}  // namespace norv::jet
