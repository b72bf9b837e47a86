// Registries read from files: a registry export, or the files of a Wine
// prefix. Each query reads the file afresh, as the registry would answer
// with what it holds now; a file that cannot be read is a miss.

#include <array>
#include <fstream>

#include "settings/registry.h"
#include "settings/registry_file_scanner.h"

namespace norv::settings {

namespace fs = std::filesystem;

namespace {

constexpr std::int32_t hkey_current_user = static_cast<std::int32_t>(0x80000001u);

std::optional<Registry::RawValue> find_in_file(const fs::path& file, const RegistryQuery& query) {
  try {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;  // never wait on a pipe or device
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    RegistryFileScanner scanner(query);
    std::array<char, 64 * 1024> buffer{};
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      scanner.feed(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (in.bad()) return std::nullopt;
    return scanner.finish();
  } catch (const std::exception&) {
    return std::nullopt;  // registry failures never surface
  }
}

class RegistryFile final : public Registry {
 public:
  explicit RegistryFile(fs::path file) : file_(std::move(file)) {}

  std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                const std::string& value_name) const override {
    return find_in_file(file_, {root, sub_key, value_name});
  }

 private:
  fs::path file_;
};

// Wine keeps HKEY_LOCAL_MACHINE in system.reg and the user's
// HKEY_CURRENT_USER in user.reg.
class WinePrefixRegistry final : public Registry {
 public:
  explicit WinePrefixRegistry(fs::path prefix) : prefix_(std::move(prefix)) {}

  std::optional<RawValue> query(std::int32_t root, const std::string& sub_key,
                                const std::string& value_name) const override {
    if (prefix_.empty()) return std::nullopt;
    if (root == HKEY_LOCAL_MACHINE_ROOT) return find_in_file(prefix_ / "system.reg", {root, sub_key, value_name});
    if (root == hkey_current_user) return find_in_file(prefix_ / "user.reg", {root, sub_key, value_name});
    return std::nullopt;
  }

 private:
  fs::path prefix_;
};

}  // namespace

std::unique_ptr<Registry> make_registry_file(const fs::path& file) {
  return std::make_unique<RegistryFile>(file);
}

std::unique_ptr<Registry> make_wine_prefix_registry(const fs::path& prefix) {
  return std::make_unique<WinePrefixRegistry>(prefix);
}

}  // namespace norv::settings
