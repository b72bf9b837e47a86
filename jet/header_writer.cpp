#include "jet/header_writer.h"

#include <array>
#include <cmath>
#include <cstring>

#include "jet/little_endian.h"
#include "jet/rc4.h"

namespace norv::jet {

namespace {

constexpr std::size_t masked_block_offset = 0x18;
constexpr std::array<std::uint8_t, 4> mask_key{0xC7, 0xDA, 0x39, 0x6B};
constexpr std::array<std::uint8_t, 24> block_start{0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                                   0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                                   0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
constexpr char engine_name[] = "Standard Jet DB";
constexpr std::uint16_t general_sort_order = 0x0409;
constexpr std::size_t commit_area_size = 512;

// Where the header stores a creation date, an empty password is stored as
// the date-derived mask itself, so that removing the mask leaves zeros.
void put_creation_date(const Format& format, std::vector<std::uint8_t>& page,
                       double creation_date) {
  const std::optional<std::uint32_t> offset = format.header.creation_date;
  if (!offset) return;
  auto mask = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::trunc(creation_date)));
  for (std::size_t i = 0; i < format.header.password_length; i += 4)
    le::put32(page.data() + 0x42 + i, mask);
  le::put_float(page.data() + *offset, creation_date);
}

// The commit bytes of a closed database, as Jet leaves them.
void put_commit_area(std::vector<std::uint8_t>& page) {
  std::size_t start = page.size() - commit_area_size;
  page[start] = 0x01;
  for (std::size_t i = start + 1; i < page.size(); i += 2) page[i] = 0x01;
}

}  // namespace

std::vector<std::uint8_t> build_header_page(const Format& format, std::uint16_t code_page,
                                            double creation_date) {
  std::vector<std::uint8_t> page(format.page_size, 0);
  page[1] = 0x01;
  std::memcpy(page.data() + 4, engine_name, sizeof engine_name - 1);
  page[0x14] = format.header.version_byte;
  std::copy(block_start.begin(), block_start.end(), page.begin() + masked_block_offset);
  le::put16(page.data() + 0x3C, code_page);
  le::put16(page.data() + format.header.sort_order, general_sort_order);
  put_creation_date(format, page, creation_date);
  put_constants(page.data(), format.header.constants);
  rc4_apply(mask_key,
            std::span(page).subspan(masked_block_offset, format.header.masked_block_length));
  put_commit_area(page);
  return page;
}

}  // namespace norv::jet
