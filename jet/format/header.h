#pragma once

// The header page (page 0): which format the file is in, and the fields of
// its masked block. Opening refuses, with a message per case, every file
// the engine does not read: ACE (Access 2007 and later), MSISAM and
// password-protected databases, and anything that is not a Jet database at
// all. An encoded database (page_encoding.h) is read like a plain one. The
// creator's new header page is built from the same offsets.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "jet/base/bytes.h"
#include "jet/format/format.h"

namespace norv::jet {

class PageFile;

struct Header {
  const Format* format = nullptr;
  std::uint16_t code_page = 0;       // Jet 3 text; 0 when the header leaves it unset
  std::uint16_t sort_order = 0;      // LCID of the default collating order
  std::uint32_t encoding_key = 0;    // 0: a plain file, pages not encoded
  double creation_date = 0;          // OLE date (Jet 4; 0 in Jet 3)
  // The password field with every mask removed: Jet 3 code-page bytes, Jet 4
  // UCS-2LE, NUL-padded; all zero when the database has no password.
  std::vector<std::uint8_t> password;

  bool has_password() const;
};

// Bytes the header needs from the start of the file.
inline constexpr std::size_t header_prefix_size = 0xA0;

// Checks the file's first bytes (at least header_prefix_size unless the file
// is shorter) and its length, and decodes the masked block. Throws
// FormatFault for what is not a Jet database and NotSupportedError, naming
// `file`, for ACE and MSISAM files.
Header decode_header(Bytes front, std::uint64_t file_size, const std::filesystem::path& file);

// Throws NotSupportedError, naming `file`, for a password-protected
// database (encoded or not).
void require_readable(const Header& header, const std::filesystem::path& file);

// Reads page 0 of `pages`, decodes and checks it as above and sets the page
// size and the encoding. An encoded file whose catalog does not decode with
// its key is a FormatFault.
Header read_header(PageFile& pages);

// Only the encoding key of page 0, for a file that may hold a part page at
// its end (an interrupted update is being undone). A FormatFault when page
// 0 is no Jet header.
std::uint32_t read_encoding_key(PageFile& pages);

// The masked block (from 0x18) with the mask removed; exposed for tests and
// for a writer that must re-apply the mask.
std::vector<std::uint8_t> unmask_header_block(Bytes front, const Format& format);

// Page 0 of a new database: the engine name, the format byte, and the
// masked block with the code page, the General sort order, the encoding
// key (0: a plain file) and no password. `creation_date` is an OLE date
// (stored where the format has one, and the password mask derives from it).
std::vector<std::uint8_t> build_header_page(const Format& format, std::uint16_t code_page,
                                            double creation_date,
                                            std::uint32_t encoding_key = 0);

}  // namespace norv::jet
