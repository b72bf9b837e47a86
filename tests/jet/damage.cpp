#include "tests/jet/damage.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace norv::test {

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

void patch(const std::filesystem::path& file, std::uint64_t offset,
           std::initializer_list<std::uint8_t> bytes) {
  if (offset + bytes.size() > std::filesystem::file_size(file))
    throw std::runtime_error("patch past the end of " + file.string());
  std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
  out.seekp(static_cast<std::streamoff>(offset));
  out.write(reinterpret_cast<const char*>(std::data(bytes)), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot patch " + file.string());
}

void patch_u16(const std::filesystem::path& file, std::uint64_t offset, std::uint16_t value) {
  patch(file, offset, {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
}

void patch_u32(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t value) {
  patch(file, offset,
        {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
         static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void truncate_to(const std::filesystem::path& file, std::uint64_t size) {
  std::filesystem::resize_file(file, size);
}

}  // namespace norv::test
