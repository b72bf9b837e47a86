#pragma once

// The three private-profile functions CPrivateIni needs, with the semantics
// of GetPrivateProfileStringA, GetPrivateProfileIntA and
// WritePrivateProfileStringA. File names are Windows paths.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/path_mapper.h"

namespace norv::settings {

class PrivateProfile {
 public:
  virtual ~PrivateProfile() = default;

  // Copies at most size - 1 characters of the value (or of the default) and
  // returns them; the returned text's length is the function's count.
  virtual std::string get_string(const std::string& section, const std::string& key,
                                 const std::string& default_value, std::uint32_t size,
                                 const std::string& file_name) const = 0;

  // The UINT the function returns.
  virtual std::uint32_t get_int(const std::string& section, const std::string& key,
                                std::int32_t default_value,
                                const std::string& file_name) const = 0;

  // Why `file_name`, though something is there, reads as missing (a
  // folder, a pipe, a file too large to be a settings file); empty when it
  // is readable or absent. The functions above say nothing of it, as
  // Windows' own do not; a front end may tell the user.
  virtual std::string unusable_reason(const std::string& file_name) const {
    (void)file_name;
    return {};
  }

  // value absent: delete the key; key absent: delete the section.
  // Returns the function's success.
  virtual bool write_string(const std::string& section, const std::optional<std::string>& key,
                            const std::optional<std::string>& value,
                            const std::string& file_name) const = 0;
};

// Windows' own functions on Windows; elsewhere the project's implementation,
// mapping file names through `paths`.
std::unique_ptr<PrivateProfile> make_private_profile(const platform::PathMapper& paths);

}  // namespace norv::settings
