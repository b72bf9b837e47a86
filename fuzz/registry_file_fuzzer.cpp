// The registry-file reader on arbitrary files: no crash, and the answer does
// not depend on the pieces the file arrives in.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/registry_file_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace norv::settings;
  std::string_view file(reinterpret_cast<const char*>(data), size);
  RegistryQuery query{HKEY_LOCAL_MACHINE_ROOT, "Software\\Norv Software", "InstallDir"};
  std::optional<Registry::RawValue> whole = find_registry_value(file, query);
  RegistryFileScanner scanner(query);
  std::size_t piece = size % 7 + 1;
  for (std::size_t at = 0; at < size; at += piece) scanner.feed(file.substr(at, piece));
  std::optional<Registry::RawValue> pieces = scanner.finish();
  if (whole.has_value() != pieces.has_value()) std::abort();
  if (whole && (whole->type != pieces->type || whole->data != pieces->data)) std::abort();
  return 0;
}
