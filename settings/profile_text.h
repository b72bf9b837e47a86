#pragma once

// A settings file's text as the private-profile functions of Windows read
// it: lines split at CR, LF or CR LF; each line trimmed of white space; a
// line that starts with '[' and holds a ']' is a section header naming the
// text up to its last ']'; any other non-blank line is an entry whose name
// is the text before its first '=' and whose value is the rest, with one
// pair of matching outer quotes removed. A NUL ends a name or a value, not
// the line.
// Everything here works on offsets into the text, so that writes can leave
// every byte they do not mean to change as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace norv::settings {

// Files without a byte-order mark hold ANSI text, as the suite's programs
// write it; one that is valid UTF-8 (edited on Linux) is read as UTF-8 and
// stays UTF-8. A UTF-16LE file stays UTF-16LE, as Windows keeps it. A UTF-8
// mark is recognised, as Wine does: Windows is said to take the three bytes
// for part of the first line and so to lose the first section, which no
// one who saved the file that way can have meant.
enum class ProfileEncoding {
  ansi,         // no byte-order mark; Windows-1252 bytes (plain ASCII included)
  utf8,         // no byte-order mark, but valid UTF-8 with characters beyond ASCII
  utf8_bom,     // EF BB BF
  utf16le_bom,  // FF FE
};

// The decoded file. For ansi files `text` holds the file's bytes; for the
// others it is UTF-8 (lone UTF-16 surrogates in their generalised form).
struct ProfileText {
  ProfileEncoding encoding = ProfileEncoding::ansi;
  std::string text;
  std::string undecoded_tail;  // an odd last byte of a UTF-16 file, kept as it was
};

ProfileText decode_profile(std::string_view file_bytes);
// The file's bytes again; encode_profile(decode_profile(b)) == b.
std::string encode_profile(const ProfileText& profile);

// UTF-8 text as it must be stored in `profile`'s text, and back.
std::string to_profile_text(const ProfileText& profile, std::string_view utf8);
std::string from_profile_text(const ProfileText& profile, std::string_view stored);

bool is_profile_blank(char c);
std::string_view trim_profile_blanks(std::string_view text);

struct ProfileLine {
  enum class Kind { blank, header, entry };

  std::size_t start = 0;        // first byte of the line
  std::size_t content_end = 0;  // first byte of its line end (or of the text's end)
  std::size_t next = 0;         // first byte of the following line
  Kind kind = Kind::blank;
  std::string_view name;                  // header: the section; entry: the key
  std::optional<std::string_view> value;  // entry with '=': the value, unquoted

  bool terminated() const { return next > content_end; }
};

// The line that starts at `at` (at < text.size()).
ProfileLine read_profile_line(std::string_view text, std::size_t at);

// The first section of that name: its header line, the offset after its
// last non-blank line, and where the next section begins.
struct ProfileSection {
  ProfileLine header;
  ProfileLine last_nonblank;  // the header itself when the section is empty
  std::size_t end = 0;
};

std::optional<ProfileSection> find_profile_section(const ProfileText& profile,
                                                   std::string_view section);

// The first entry of that key in `section`.
std::optional<ProfileLine> find_profile_entry(const ProfileText& profile,
                                              const ProfileSection& section, std::string_view key);

}  // namespace norv::settings
