#pragma once

// The texts of the update command's message boxes, as the user sees them.

#include <string>

namespace norv::app {

inline constexpr const char* kInvalidVersionMessage = "Invalid version number, please check.";
inline constexpr const char* kSelectYearMessage = "Select Year to update version for Fendrel ";
inline constexpr const char* kNotInstalledMessage = "Norv not installed in this Machine.";
inline constexpr const char* kNoControlTableMessage = "Could not find Control table.";
inline constexpr const char* kErrorTitle = "Norv Version Update";

// "The version has been updated to <version> for" CR LF <strMsg>.
inline std::string updated_message(const std::string& version, const std::string& summary) {
  return "The version has been updated to " + version + " for\r\n" + summary;
}

}  // namespace norv::app
