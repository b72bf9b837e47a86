#include "settings/registry.h"

#include <fmt/format.h>

#include "platform/error.h"
#include "platform/utf8.h"
#include "settings/text_encoding.h"

namespace norv::settings {

namespace {

constexpr std::uint32_t reg_sz = 1;

// The position of the first NUL is kept in a 16-bit signed integer.
constexpr std::size_t largest_nul_position = 32767;

std::string root_name(std::int32_t root) {
  if (root == HKEY_LOCAL_MACHINE_ROOT) return "HKEY_LOCAL_MACHINE";
  return fmt::format("root key {:#x}", static_cast<std::uint32_t>(root));
}

}  // namespace

std::string GetRegistryString(const Registry& registry, std::int32_t root,
                              const std::string& subKey, const std::string& valueName,
                              const std::string& defaultValue) {
  std::optional<Registry::RawValue> value = registry.query(root, subKey, valueName);
  if (!value || value->type != reg_sz) return defaultValue;
  std::string_view data = value->data;
  std::size_t nul = data.find('\0');
  if (nul == std::string_view::npos) return std::string(data);
  if (platform::character_count(data.substr(0, nul)) + 1 > largest_nul_position) {
    throw OverflowError(fmt::format(
        "The registry value {} under {}\\{} is longer than {} characters, more than this tool "
        "can read; correct the value with the registry editor",
        valueName.empty() ? "(default)" : valueName, root_name(root), subKey,
        largest_nul_position - 1));
  }
  return std::string(data.substr(0, nul));
}

}  // namespace norv::settings
