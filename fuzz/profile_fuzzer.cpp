// The private-profile functions on arbitrary settings files: no crash, and
// what a write stores reads back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/profile_functions.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace norv::settings;
  std::string_view file(reinterpret_cast<const char*>(data), size);
  for (std::string_view section : {"A", "Sec1", "", "\xC3\xA4"}) {
    profile_get_string(file, section, "k", "dflt  ", 255);
    profile_get_int(file, section, "k", -5);
    ProfileWriteResult set = profile_write(file, section, std::string("k"), std::string("v1"));
    require(set.ok);
    std::string_view after = set.new_contents ? std::string_view(*set.new_contents) : file;
    require(profile_get_string(after, section, "k", "", 255) == "v1");
    ProfileWriteResult removed = profile_write(after, section, std::string("k"), std::nullopt);
    require(removed.ok);
    profile_write(file, section, std::nullopt, std::nullopt);
  }
  return 0;
}
