#include "jet/format/header.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string_view>

#include <fmt/format.h>

#include "jet/base/format_fault.h"
#include "jet/base/little_endian.h"
#include "jet/base/rc4.h"
#include "jet/format/page_header.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

namespace {

// Offsets both formats share; the rest is Format::header.
constexpr std::size_t engine_name_offset = 0x04;
constexpr std::size_t engine_name_length = 15;
constexpr std::size_t version_offset = 0x14;
constexpr std::size_t masked_block_offset = 0x18;
constexpr std::size_t code_page_offset = 0x3C;
constexpr std::size_t encoding_key_offset = 0x3E;
constexpr std::size_t password_offset = 0x42;
constexpr std::uint8_t header_page_type = 0x00;
constexpr std::uint32_t minimum_page_count = 3;  // header, global map, catalog
constexpr std::size_t commit_area_size = 512;     // at the end of the page

constexpr std::array<std::uint8_t, 4> header_mask_key{0xC7, 0xDA, 0x39, 0x6B};
// The masked block's first bytes as Jet writes them in a new file.
constexpr std::array<std::uint8_t, 24> block_start{0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                                   0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                                   0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};

constexpr std::string_view jet_engine = "Standard Jet DB";
constexpr std::string_view ace_engine = "Standard ACE DB";
constexpr std::string_view msisam_engine = "MSISAM Database";

std::string_view engine_name(Bytes front) {
  return {reinterpret_cast<const char*>(front.data()) + engine_name_offset, engine_name_length};
}

const Format& format_of(Bytes front, const std::filesystem::path& file) {
  const std::string_view engine = engine_name(front);
  const std::uint8_t version = front[version_offset];
  if (engine == ace_engine)
    throw NotSupportedError(fmt::format(
        "{} is an Access 2007 or later database (ACE format, version byte {}); only Jet 3 and "
        "Jet 4 databases (Access 97 to 2003) can be read: save it in Access 2002-2003 format "
        "and run again",
        file.string(), version));
  if (engine == msisam_engine)
    throw NotSupportedError(fmt::format(
        "{} is an MSISAM database, not an Access database; it cannot be read", file.string()));
  if (front[page_type_offset] != header_page_type || engine != jet_engine)
    throw_format_fault("its first page is not a Jet database header");
  if (const Format* format = format_of_version_byte(version)) return *format;
  throw_format_fault(fmt::format("not a Jet 3/Jet 4 database (format byte {:#04x})", version));
}

// Where the header stores a creation date, the password is masked once more
// with the date's integer part; see the format notes. Masking and unmasking
// are the same XOR.
void mask_password_by_date(std::span<std::uint8_t> password, double creation_date) {
  std::uint32_t day = 0;
  if (std::isfinite(creation_date) && std::fabs(creation_date) < 2147483647.0)
    day = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::trunc(creation_date)));
  for (std::size_t i = 0; i < password.size(); ++i)
    password[i] ^= static_cast<std::uint8_t>(day >> (8 * (i % 4)));
}

// The commit bytes of a closed database, as Jet leaves them.
void put_commit_area(std::vector<std::uint8_t>& page) {
  std::size_t start = page.size() - commit_area_size;
  page[start] = 0x01;
  for (std::size_t i = start + 1; i < page.size(); i += 2) page[i] = 0x01;
}

void require_whole_pages(std::uint64_t file_size, const Format& format) {
  if (file_size % format.page_size != 0)
    throw_format_fault(fmt::format("its length ({} bytes) is not a whole number of {}-byte pages",
                                   file_size, format.page_size));
  if (file_size / format.page_size < minimum_page_count)
    throw_format_fault(fmt::format("it has {} pages; a Jet database has at least {}",
                                   file_size / format.page_size, minimum_page_count));
}

std::uint32_t encoding_key_of(Bytes unmasked_block) {
  return ByteReader(unmasked_block, "the header page")
      .u32(encoding_key_offset - masked_block_offset);
}

// A wrong key (a damaged header) decodes every page to noise; the catalog's
// definition page tells it at once, before anything reads that noise.
void require_decoded(PageFile& pages) {
  const Bytes catalog = pages.page(catalog_definition_page).bytes();
  if (!has_page_header(catalog, table_def_page_type))
    throw_format_fault(fmt::format(
        "it is encoded, and its pages do not decode with the key its header gives ({:#010x}): "
        "the header page is damaged; restore the file from a backup",
        pages.encoding().key()));
}

}  // namespace

std::vector<std::uint8_t> unmask_header_block(Bytes front, const Format& format) {
  ByteReader reader(front, "the header page");
  Bytes masked = reader.slice(masked_block_offset, format.header.masked_block_length);
  std::vector<std::uint8_t> block(masked.begin(), masked.end());
  rc4_apply(header_mask_key, block);
  return block;
}

bool Header::has_password() const {
  for (std::uint8_t byte : password)
    if (byte != 0) return true;
  return false;
}

Header decode_header(Bytes front, std::uint64_t file_size, const std::filesystem::path& file) {
  if (file_size == 0) throw_format_fault("the file is empty");
  if (front.size() < header_prefix_size)
    throw_format_fault(fmt::format("it is only {} bytes long", file_size));
  const Format& format = format_of(front, file);
  require_whole_pages(file_size, format);

  std::vector<std::uint8_t> block = unmask_header_block(front, format);
  ByteReader fields(block, "the header page");
  auto at = [](std::size_t absolute) { return absolute - masked_block_offset; };

  Header header;
  header.format = &format;
  header.code_page = fields.u16(at(code_page_offset));
  header.encoding_key = encoding_key_of(block);
  header.sort_order = fields.u16(at(format.header.sort_order));
  const std::optional<std::uint32_t> creation_date = format.header.creation_date;
  if (creation_date) header.creation_date = fields.f64(at(*creation_date));

  Bytes password = fields.slice(at(password_offset), format.header.password_length);
  header.password.assign(password.begin(), password.end());
  if (creation_date) mask_password_by_date(header.password, header.creation_date);
  return header;
}

void require_readable(const Header& header, const std::filesystem::path& file) {
  if (header.has_password())
    throw NotSupportedError(fmt::format(
        "{} is protected by a database password, which the connection string does not carry; "
        "remove the database password in Access and run again",
        file.string()));
}

Header read_header(PageFile& pages) {
  std::vector<std::uint8_t> front = pages.read_front(header_prefix_size);
  Header header = decode_header(front, pages.file_size(), pages.path());
  require_readable(header, pages.path());
  pages.set_page_size(header.format->page_size);
  pages.set_encoding(PageEncoding(header.encoding_key));
  if (header.encoding_key != 0) require_decoded(pages);
  return header;
}

std::uint32_t read_encoding_key(PageFile& pages) {
  const std::vector<std::uint8_t> front = pages.read_front(header_prefix_size);
  if (front.size() < header_prefix_size)
    throw_format_fault(fmt::format("it is only {} bytes long", pages.file_size()));
  return encoding_key_of(unmask_header_block(front, format_of(front, pages.path())));
}

std::vector<std::uint8_t> build_header_page(const Format& format, std::uint16_t code_page,
                                            double creation_date, std::uint32_t encoding_key) {
  std::vector<std::uint8_t> page(format.page_size, 0);
  write_page_header(page, header_page_type);
  std::memcpy(page.data() + engine_name_offset, jet_engine.data(), jet_engine.size());
  page[version_offset] = format.header.version_byte;
  std::copy(block_start.begin(), block_start.end(), page.begin() + masked_block_offset);
  le::put16(page.data() + code_page_offset, code_page);
  le::put16(page.data() + format.header.sort_order, general_sort_order);
  le::put32(page.data() + encoding_key_offset, encoding_key);
  if (const std::optional<std::uint32_t> date = format.header.creation_date) {
    // An empty password is stored as the date-derived mask itself, so that
    // removing the mask leaves zeros.
    le::put_float(page.data() + *date, creation_date);
    mask_password_by_date(
        std::span(page).subspan(password_offset, format.header.password_length), creation_date);
  }
  put_constants(page.data(), format.header.constants);
  rc4_apply(header_mask_key,
            std::span(page).subspan(masked_block_offset, format.header.masked_block_length));
  put_commit_area(page);
  return page;
}

}  // namespace norv::jet
