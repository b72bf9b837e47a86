#include "settings/private_ini.h"

#include <fmt/format.h>

#include "platform/error.h"

namespace norv::settings {

namespace {

// The buffer GetStringSetting hands to GetPrivateProfileStringA.
constexpr std::uint32_t string_buffer_size = 255;

}  // namespace

CPrivateIni::CPrivateIni(const PrivateProfile& profile) : profile_(profile) {}

std::string CPrivateIni::GetStringSetting(const std::string& sSection, const std::string& sKey,
                                          const std::string& sDefault) const {
  return profile_.get_string(sSection, sKey, sDefault, string_buffer_size, FilePath());
}

std::int16_t CPrivateIni::GetIntSetting(const std::string& sSection, const std::string& sKey,
                                        std::int16_t iDefault) const {
  std::uint32_t stored = profile_.get_int(sSection, sKey, iDefault, FilePath());
  auto number = static_cast<std::int32_t>(stored);
  if (number < INT16_MIN || number > INT16_MAX) {
    throw OverflowError(fmt::format(
        "{}: the setting {} in section [{}] holds {}, which is outside the range -32768 to "
        "32767; correct it in the settings file",
        FilePath(), sKey, sSection, number));
  }
  return static_cast<std::int16_t>(number);
}

bool CPrivateIni::SetStringSetting(const std::string& sSection, const std::string& sKey,
                                   const std::string& sValue) const {
  if (FilePath().empty()) return false;
  return profile_.write_string(sSection, sKey, sValue, FilePath());
}

bool CPrivateIni::SetIntSetting(const std::string& sSection, const std::string& sKey,
                                std::int16_t iValue) const {
  return SetStringSetting(sSection, sKey, std::to_string(iValue));
}

bool CPrivateIni::DeleteSetting(const std::string& sSection, const std::string& sKey) const {
  if (FilePath().empty()) return false;
  return profile_.write_string(sSection, sKey, std::nullopt, FilePath());
}

bool CPrivateIni::DeleteSection(const std::string& sSection) const {
  if (FilePath().empty()) return false;
  return profile_.write_string(sSection, std::nullopt, std::nullopt, FilePath());
}

}  // namespace norv::settings
