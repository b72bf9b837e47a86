#pragma once

// The connection strings the stamping code builds:
//   "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=<path>"
// Keywords and the provider's name in any letter case, blanks around "=" and
// ";" allowed. The path runs from after "Data Source=" (blanks skipped) to
// the end of the string (one closing ";" dropped), because a Windows file
// name may hold a ";"; only a
// path in double quotes may be followed by "; <other keywords>", and those
// are refused, since no other keyword changes how this tool opens a file.

#include <string>
#include <string_view>

namespace norv::data {

inline constexpr std::string_view kJetProvider = "Microsoft.Jet.OLEDB.4.0";

struct ConnectionString {
  std::string provider;     // as written
  std::string data_source;  // a Windows path, blanks around it removed
};

// Throws InvalidArgumentError for a string without a provider or a data
// source, and NotSupportedError for any provider but Jet 4.0's and for other
// keywords; each message quotes the string.
ConnectionString parse_connection_string(std::string_view text);

}  // namespace norv::data
