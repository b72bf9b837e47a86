#pragma once

// GetRegistryString: one text value from the registry, or the caller's
// default on any miss. Only REG_SZ counts; the first NUL ends the text;
// nothing is ever written.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace norv::settings {

// Root keys as the original passes them: 32-bit signed handle values.
inline constexpr std::int32_t HKEY_LOCAL_MACHINE_ROOT = static_cast<std::int32_t>(0x80000002u);

// Where registry values come from: the operating system's registry, a Wine
// prefix's system.reg, or a registry export file. Behaves as RegOpenKeyExA /
// RegQueryValueExA / RegCloseKey with read access on the 32-bit view.
class Registry {
 public:
  virtual ~Registry() = default;

  struct RawValue {
    std::uint32_t type = 0;       // REG_SZ = 1, REG_EXPAND_SZ = 2, ...
    std::string data;             // the bytes RegQueryValueExA would return (ANSI)
  };

  // The value, or nothing when the key or the value is missing.
  virtual std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                        const std::string& value_name) const = 0;
};

std::string GetRegistryString(const Registry& registry, std::int32_t root,
                              const std::string& subKey, const std::string& valueName,
                              const std::string& defaultValue = "");

// This platform's registry: Windows' own; elsewhere $WINEPREFIX/system.reg
// (default ~/.wine).
std::unique_ptr<Registry> make_system_registry();

// The registry of a given Wine prefix (its system.reg).
std::unique_ptr<Registry> make_wine_prefix_registry(const std::filesystem::path& prefix);

// A registry export file (REGEDIT4 / version 5.00) or a Wine registry file.
std::unique_ptr<Registry> make_registry_file(const std::filesystem::path& file);

}  // namespace norv::settings
