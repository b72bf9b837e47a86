#include <sys/stat.h>

#include "platform/path_mapper.h"

namespace norv::platform {

// Wine reports dot names as hidden, and the existence test skips hidden
// files. Symbolic links are followed, as Windows programs see them under Wine.
bool is_ordinary_file(const std::filesystem::path& native_path) {
  std::string name = native_path.filename().string();
  if (name.empty() || name.front() == '.') return false;
  struct stat st {};
  return ::stat(native_path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace norv::platform
