#include "tests/support/fixtures.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace norv::test {

std::optional<std::filesystem::path> fixtures_dir() {
  const char* shared = std::getenv("NORV_SHARED_DIR");
  if (shared == nullptr || *shared == '\0') return std::nullopt;
  std::filesystem::path dir = std::filesystem::path(shared) / "fixtures";
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return std::nullopt;
  return dir;
}

std::filesystem::path fixture(std::string_view relative) {
  auto dir = fixtures_dir();
  if (!dir) throw std::runtime_error("fixtures folder not found");
  return *dir / relative;
}

std::filesystem::path copy_fixture(std::string_view relative, const std::filesystem::path& folder) {
  std::filesystem::path source = fixture(relative);
  std::filesystem::path target = folder / source.filename();
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(target, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  return target;
}

}  // namespace norv::test
