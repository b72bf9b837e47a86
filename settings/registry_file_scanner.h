#pragma once

// Finds one value in a registry file read piece by piece: Wine's own files
// (system.reg, user.reg) and the export files of Windows ("REGEDIT4", ANSI,
// and "Windows Registry Editor Version 5.00", usually UTF-16LE with a
// byte-order mark). Only the value asked for is kept and lines are bounded,
// so memory stays small whatever the file holds; a file that is not one of
// these formats yields nothing.
//
// The 32-bit view: a 32-bit program that opens HKLM\Software\X on 64-bit
// Windows reads HKLM\Software\Wow6432Node\X. In a Wine file that happens
// as Wine does it: unless the file says #arch=win32, and only when the file
// has a Software\Wow6432Node key. In an export file, which holds what an
// administrator chose to export, the Wow6432Node key is read when the file
// has it, the key itself otherwise.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/registry.h"
#include "settings/registry_text.h"
#include "settings/text_encoding.h"

namespace norv::settings {

struct RegistryQuery {
  std::int32_t root = HKEY_LOCAL_MACHINE_ROOT;
  std::string sub_key;     // parts separated by '\'; a trailing '\' is allowed
  std::string value_name;  // empty: the key's default value
};

class RegistryFileScanner {
 public:
  explicit RegistryFileScanner(const RegistryQuery& query);
  // It points into itself while a hex list goes on.
  RegistryFileScanner(const RegistryFileScanner&) = delete;
  RegistryFileScanner& operator=(const RegistryFileScanner&) = delete;

  void feed(std::string_view bytes);
  // The value, once the whole file has been fed.
  std::optional<Registry::RawValue> finish();

 private:
  enum class Format { undecided, wine, regedit4, regedit5, unknown };
  enum class KeyMatch { none, direct, redirected };

  void take_start();
  void feed_decoded(std::string_view text);
  void end_line();
  void take_line(std::string_view line);
  void take_first_line(std::string_view line);
  void take_key_line(std::string_view line);
  void take_value_line(std::string_view line);
  void take_continuation(std::string_view line);
  std::optional<std::vector<std::string>> key_path(std::string_view line, bool& deletion) const;
  KeyMatch match(const std::vector<std::string>& path) const;
  void forget_deleted(const std::vector<std::string>& path);
  void store(Registry::RawValue value);
  void finish_string_from_hex(Registry::RawValue& value) const;
  RegistryDialect dialect() const;

  // What is asked for, as paths of key names below the file's root.
  std::vector<std::string> direct_;
  std::vector<std::string> redirected_;  // empty when the view changes nothing
  std::string value_name_;
  std::int32_t root_;
  bool query_valid_ = true;

  // The file, as read so far.
  Format format_ = Format::undecided;
  std::string start_;  // the first bytes, until the byte-order mark is known
  bool start_known_ = false;
  bool utf16_ = false;
  Utf16leStreamDecoder utf16_decoder_;
  std::string line_;
  bool line_too_long_ = false;
  std::int32_t file_root_ = HKEY_LOCAL_MACHINE_ROOT;  // the hive of a Wine file
  bool wine32_ = false;
  bool wow_node_seen_ = false;
  bool redirected_key_seen_ = false;
  KeyMatch current_ = KeyMatch::none;
  std::optional<Registry::RawValue> direct_value_;
  std::optional<Registry::RawValue> redirected_value_;
  std::optional<Registry::RawValue>* continuing_ = nullptr;  // a hex list that goes on
};

// The same search on a file held in memory.
std::optional<Registry::RawValue> find_registry_value(std::string_view file_bytes,
                                                      const RegistryQuery& query);

}  // namespace norv::settings
