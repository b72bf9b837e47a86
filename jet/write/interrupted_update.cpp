#include "jet/write/interrupted_update.h"

#include <algorithm>

#include <fmt/format.h>

#include "jet/format/header.h"
#include "jet/write/rollback_journal.h"
#include "platform/error.h"

namespace norv::jet {

namespace {

enum class PageState { old, between, updated, foreign };

bool holds(Bytes page, const std::vector<std::uint8_t>& image) {
  return std::equal(page.begin(), page.end(), image.begin(), image.end());
}

PageState state_of(PageFile& database, const JournalPage& page) {
  const bool appended = page.original.empty();
  if (page.number >= database.page_count()) return appended ? PageState::old : PageState::foreign;
  const Bytes now = database.page(page.number).bytes();
  if (!page.images.empty() && holds(now, page.images.back())) return PageState::updated;
  // An appended page not written yet is the hole a later page's write left.
  if (appended ? std::all_of(now.begin(), now.end(), [](std::uint8_t b) { return b == 0; })
               : holds(now, page.original))
    return PageState::old;
  const bool ours = std::any_of(page.images.begin(), page.images.end(),
                                [&](const auto& image) { return holds(now, image); });
  return ours ? PageState::between : PageState::foreign;
}

std::vector<std::uint8_t> read_whole(platform::Storage& storage,
                                     const std::filesystem::path& path) {
  const std::unique_ptr<platform::StorageFile> file =
      storage.open(path, platform::FileMode::read_only);
  std::vector<std::uint8_t> bytes(file->size());
  file->read_at(0, bytes);
  return bytes;
}

[[noreturn]] void refuse_changed(const std::filesystem::path& database,
                                 const std::filesystem::path& journal) {
  throw CorruptDatabaseError(fmt::format(
      "{} was changed by another program after an update of it was interrupted, so it was not "
      "restored from {}; check the database in Access (Compact and Repair), then delete {} and "
      "run again",
      database.string(), journal.string(), journal.string()));
}

}  // namespace

Recovery recover_interrupted_update(platform::Storage& storage, PageFile& database) {
  const std::filesystem::path journal = journal_path(database.path());
  if (!storage.exists(journal)) return Recovery::none;
  const std::optional<JournalContents> contents = decode_journal(read_whole(storage, journal));
  // A journal cut short was being written when the power went: the
  // database had not been touched yet.
  if (!contents || (contents->page_size != 2048 && contents->page_size != 4096)) {
    storage.remove(journal);
    return Recovery::discarded;
  }
  const std::uint64_t length = database.file_size();
  if (length < contents->length_before || length > contents->length_after)
    refuse_changed(database.path(), journal);
  database.set_page_size(contents->page_size);
  // The journal holds plain page images; page 0, never written by an
  // update, says how the pages on disk are encoded.
  database.set_encoding(PageEncoding(read_encoding_key(database)));
  bool all_old = length == contents->length_before;
  bool all_updated = length == contents->length_after;
  for (const JournalPage& page : contents->pages) {
    const PageState state = state_of(database, page);
    if (state == PageState::foreign) refuse_changed(database.path(), journal);
    all_old = all_old && state == PageState::old;
    all_updated = all_updated && state == PageState::updated;
  }
  if (!all_old && !all_updated) restore_pages(database, *contents);
  storage.remove(journal);
  return all_old || all_updated ? Recovery::discarded : Recovery::restored;
}

Recovery recover_before_reading(platform::Storage& storage, const std::filesystem::path& path) {
  const std::filesystem::path journal = journal_path(path);
  if (!storage.exists(journal)) return Recovery::none;
  std::unique_ptr<platform::StorageFile> locked;
  try {
    locked = storage.open_for_update(path);
  } catch (const IoError& error) {
    throw IoError(fmt::format("{}: an update of it was interrupted, and it can only be restored "
                              "from {} when it can be written ({}); make it writable and run "
                              "again",
                              path.string(), journal.string(), error.what()));
  }
  PageFile file = PageFile::over(std::move(locked));
  return recover_interrupted_update(storage, file);
}

}  // namespace norv::jet
