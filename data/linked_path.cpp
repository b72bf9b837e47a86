#include "data/linked_path.h"

namespace norv::data {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool has_drive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool is_unc(std::string_view path) {
  return path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]);
}

// "C:" of "C:\a\b.mdb", "\\server\share" of "\\server\share\a.mdb", "" else.
std::string_view root_of(std::string_view path) {
  if (has_drive(path)) return path.substr(0, 2);
  if (!is_unc(path)) return {};
  std::size_t server_end = path.find_first_of("\\/", 2);
  if (server_end == std::string_view::npos) return path;
  std::size_t share_end = path.find_first_of("\\/", server_end + 1);
  return path.substr(0, share_end == std::string_view::npos ? path.size() : share_end);
}

}  // namespace

std::optional<std::string> resolve_linked_database_path(std::string_view linking_database,
                                                        std::string_view stored) {
  if (is_unc(stored)) return std::string(stored);
  if (has_drive(stored)) {
    if (stored.size() > 2 && is_separator(stored[2])) return std::string(stored);
    return std::nullopt;
  }
  if (!stored.empty() && is_separator(stored[0]))
    return std::string(root_of(linking_database)) + std::string(stored);
  std::size_t folder_end = linking_database.find_last_of("\\/");
  if (folder_end == std::string_view::npos) return std::string(stored);
  return std::string(linking_database.substr(0, folder_end + 1)) + std::string(stored);
}

}  // namespace norv::data
