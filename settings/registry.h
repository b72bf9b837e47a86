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

// Root keys as the updaters pass them: 32-bit signed handle values.
inline constexpr std::int32_t HKEY_LOCAL_MACHINE_ROOT = static_cast<std::int32_t>(0x80000002u);

// Where registry values come from: the operating system's registry, a Wine
// prefix's system.reg, or a registry export file. Behaves as RegOpenKeyExA /
// RegQueryValueExA / RegCloseKey with read access on the 32-bit view.
class Registry {
 public:
  virtual ~Registry() = default;

  struct RawValue {
    std::uint32_t type = 0;       // REG_SZ = 1, REG_EXPAND_SZ = 2, ...
    // What RegQueryValueExA returns, all of it: string types (1, 2, 7) as
    // text in the program's UTF-8, with every NUL the value holds (a string
    // stored with its terminator ends in one); other types as raw bytes.
    std::string data;
  };

  // The value, or nothing when the key or the value is missing.
  virtual std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                        const std::string& value_name) const = 0;
};

// Throws OverflowError when the first NUL of the text lies beyond character
// 32767, the largest position a 16-bit signed count holds. Nothing else surfaces: a
// registry that cannot be read is a miss.
std::string GetRegistryString(const Registry& registry, std::int32_t root,
                              const std::string& subKey, const std::string& valueName,
                              const std::string& defaultValue = "");

// This platform's registry: Windows' own; elsewhere $WINEPREFIX/system.reg
// (default ~/.wine).
std::unique_ptr<Registry> make_system_registry();

// The registry of a given Wine prefix: system.reg for HKEY_LOCAL_MACHINE,
// user.reg for HKEY_CURRENT_USER.
std::unique_ptr<Registry> make_wine_prefix_registry(const std::filesystem::path& prefix);

// A registry export file (REGEDIT4 / version 5.00) or a Wine registry file.
// A missing or unreadable file, or one in no known format, is a miss.
std::unique_ptr<Registry> make_registry_file(const std::filesystem::path& file);

}  // namespace norv::settings
