// The registry of Windows, read as the suite's 32-bit programs read it: the
// 32-bit view of each hive, read access only.

#include <windows.h>

#include "platform/system_text_windows.h"
#include "settings/registry.h"

namespace norv::settings {

namespace {

// The value may grow between the size query and the read; try again a few
// times rather than hand out a cut value.
constexpr int read_attempts = 4;

bool holds_text(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// Predefined roots are sign-extended to the handle's width, as the Windows
// headers define them.
HKEY root_handle(std::int32_t root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(root)));
}

std::optional<Registry::RawValue> read_value(HKEY key, const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  for (int attempt = 0; attempt < read_attempts; ++attempt) {
    std::string data(size, ' ');
    DWORD received = size;
    LONG status = ::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &received);
    if (status == ERROR_MORE_DATA) {
      size = received;
      continue;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    data.resize(received);
    return Registry::RawValue{type, holds_text(type) ? platform::system_ansi_to_utf8(data) : data};
  }
  return std::nullopt;
}

class WindowsRegistry final : public Registry {
 public:
  std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                const std::string& value_name) const override {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root_handle(root), platform::utf8_to_system_ansi(sub_key).c_str(), 0,
                        KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
      return std::nullopt;
    std::optional<RawValue> value = read_value(key, platform::utf8_to_system_ansi(value_name));
    ::RegCloseKey(key);
    return value;
  }
};

}  // namespace

std::unique_ptr<Registry> make_system_registry() { return std::make_unique<WindowsRegistry>(); }

}  // namespace norv::settings
