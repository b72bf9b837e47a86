// Connection strings are built from paths in the settings file: parsing
// must end in a result or a norv::Error, never worse.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/connection_string.h"
#include "platform/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    norv::data::parse_connection_string(text);
  } catch (const norv::Error&) {
  }
  return 0;
}
