#include "platform/folder_entries.h"

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>

#include "platform/case_fold.h"
#include "platform/path_text.h"

namespace norv::platform {

namespace {

namespace fs = std::filesystem;

// How long a folder must have been left alone before its listing is
// trusted to stay true while its modification time stays the same: well
// above the tick of any file system's clock.
constexpr auto settling_time = std::chrono::seconds(2);

// Folders whose listings are kept; a run touches only a few.
constexpr std::size_t max_kept_folders = 8;

struct Listing {
  fs::file_time_type modified;
  bool reusable = false;
  std::unordered_map<std::string, std::string> names;  // lower-cased -> as listed
};

std::optional<Listing> list_folder(const fs::path& folder, fs::file_time_type modified) {
  const auto started = fs::file_time_type::clock::now();
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) return std::nullopt;
  Listing listing;
  listing.modified = modified;
  for (const auto& entry : entries) {
    std::string name = entry.path().filename().string();
    listing.names.emplace(lower_ascii(name), std::move(name));
  }
  const fs::file_time_type after = fs::last_write_time(folder, error);
  listing.reusable = !error && after == modified && started - modified >= settling_time;
  return listing;
}

class ListingCache {
 public:
  fs::path find(const fs::path& folder, std::string_view name) {
    std::error_code error;
    const fs::file_time_type modified = fs::last_write_time(folder, error);
    if (error) return {};
    const std::lock_guard<std::mutex> hold(mutex_);
    const Listing* listing = current(folder, modified);
    if (listing == nullptr) return {};
    const auto found = listing->names.find(lower_ascii(name));
    return found == listing->names.end() ? fs::path() : folder / path_from_utf8(found->second);
  }

 private:
  const Listing* current(const fs::path& folder, fs::file_time_type modified) {
    if (auto kept = kept_.find(folder); kept != kept_.end()) {
      if (kept->second.reusable && kept->second.modified == modified) return &kept->second;
      kept_.erase(kept);
    }
    std::optional<Listing> listing = list_folder(folder, modified);
    if (!listing) return nullptr;
    if (kept_.size() >= max_kept_folders) kept_.clear();
    return &kept_.insert_or_assign(folder, std::move(*listing)).first->second;
  }

  std::mutex mutex_;
  std::map<fs::path, Listing> kept_;
};

}  // namespace

fs::path find_entry_ignoring_case(const fs::path& folder, std::string_view name) {
  static ListingCache cache;
  return cache.find(folder.empty() ? fs::path(".") : folder, name);
}

}  // namespace norv::platform
