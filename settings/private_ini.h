#pragma once

// CPrivateIni: one settings file in the Windows initialization-file format.
// Each operation is exactly one call to a private-profile function on the
// file FilePath names; nothing is cached between calls.

#include <cstdint>
#include <string>

#include "settings/private_profile.h"

namespace norv::settings {

class CPrivateIni {
 public:
  // The private-profile functions to call: Windows' own on Windows, the
  // project's implementation elsewhere. Must outlive the object.
  explicit CPrivateIni(const PrivateProfile& profile);

  std::string GetStringSetting(const std::string& sSection, const std::string& sKey,
                               const std::string& sDefault) const;
  // Throws OverflowError when the stored number lies outside 16 bits.
  std::int16_t GetIntSetting(const std::string& sSection, const std::string& sKey,
                             std::int16_t iDefault) const;
  bool SetStringSetting(const std::string& sSection, const std::string& sKey,
                        const std::string& sValue) const;
  bool SetIntSetting(const std::string& sSection, const std::string& sKey,
                     std::int16_t iValue) const;
  bool DeleteSetting(const std::string& sSection, const std::string& sKey) const;
  bool DeleteSection(const std::string& sSection) const;

  const std::string& FilePath() const { return file_path_; }
  void FilePath(std::string path) { file_path_ = std::move(path); }

 private:
  const PrivateProfile& profile_;
  std::string file_path_;
};

}  // namespace norv::settings
