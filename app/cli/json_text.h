#pragma once

#include <string>

namespace norv::app::cli {

// A JSON string literal, quotes included; the text is UTF-8 and passes
// through, with quotes, backslashes and control characters escaped.
std::string json_string(const std::string& text);

}  // namespace norv::app::cli
