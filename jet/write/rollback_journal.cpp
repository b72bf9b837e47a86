#include "jet/write/rollback_journal.h"

#include <algorithm>
#include <string_view>

#include "jet/base/little_endian.h"

namespace norv::jet {

namespace {

constexpr std::string_view magic = "NORVJRNL";
constexpr std::uint32_t version = 1;

std::uint64_t fnv1a(Bytes bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (std::uint8_t b : bytes) hash = (hash ^ b) * 0x100000001b3ULL;
  return hash;
}

// Reads a journal front to back; any read past the end marks it bad.
class Cursor {
 public:
  explicit Cursor(Bytes bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  bool at_end() const { return at_ == bytes_.size(); }
  Bytes take(std::size_t n) {
    if (!ok_ || bytes_.size() - at_ < n) {
      ok_ = false;
      return {};
    }
    const Bytes out = bytes_.subspan(at_, n);
    at_ += n;
    return out;
  }
  std::uint8_t u8() {
    const Bytes b = take(1);
    return ok_ ? b[0] : 0;
  }
  std::uint32_t u32() {
    const Bytes b = take(4);
    return ok_ ? le::get32(b.data()) : 0;
  }
  std::uint64_t u64() {
    const Bytes b = take(8);
    return ok_ ? le::get64(b.data()) : 0;
  }
  std::vector<std::uint8_t> page(std::uint32_t size) {
    const Bytes b = take(size);
    return {b.begin(), b.end()};
  }

 private:
  Bytes bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::filesystem::path journal_path(const std::filesystem::path& database) {
  std::filesystem::path out = database;
  out += ".norv-journal";
  return out;
}

std::vector<std::uint8_t> encode_journal(const JournalContents& contents) {
  std::vector<std::uint8_t> out(magic.begin(), magic.end());
  le::append32(out, version);
  le::append32(out, contents.page_size);
  le::append64(out, contents.length_before);
  le::append64(out, contents.length_after);
  le::append32(out, static_cast<std::uint32_t>(contents.pages.size()));
  for (const JournalPage& page : contents.pages) {
    le::append32(out, page.number);
    out.push_back(page.original.empty() ? 0 : 1);
    le::append32(out, static_cast<std::uint32_t>(page.images.size()));
    out.insert(out.end(), page.original.begin(), page.original.end());
    for (const auto& image : page.images) out.insert(out.end(), image.begin(), image.end());
  }
  le::append64(out, fnv1a(out));
  return out;
}

std::optional<JournalContents> decode_journal(Bytes bytes) {
  if (bytes.size() < magic.size() + 8 ||
      fnv1a(bytes.first(bytes.size() - 8)) != le::get64(bytes.data() + bytes.size() - 8))
    return std::nullopt;
  Cursor in(bytes.first(bytes.size() - 8));
  const Bytes head = in.take(magic.size());
  if (!std::equal(head.begin(), head.end(), magic.begin(), magic.end()) || in.u32() != version)
    return std::nullopt;
  JournalContents contents;
  contents.page_size = in.u32();
  contents.length_before = in.u64();
  contents.length_after = in.u64();
  const std::uint32_t count = in.u32();
  for (std::uint32_t i = 0; in.ok() && i < count; ++i) {
    JournalPage page;
    page.number = in.u32();
    const bool existed = in.u8() == 1;
    const std::uint32_t images = in.u32();
    if (existed) page.original = in.page(contents.page_size);
    for (std::uint32_t k = 0; in.ok() && k < images; ++k)
      page.images.push_back(in.page(contents.page_size));
    contents.pages.push_back(std::move(page));
  }
  if (!in.ok() || !in.at_end() || contents.page_size == 0) return std::nullopt;
  return contents;
}

void restore_pages(PageFile& database, const JournalContents& contents) {
  database.set_page_size(contents.page_size);
  for (const JournalPage& page : contents.pages) {
    if (page.original.empty() || page.number >= database.page_count()) continue;
    const Bytes now = database.page(page.number).bytes();
    if (!std::equal(now.begin(), now.end(), page.original.begin(), page.original.end()))
      database.write_page(page.number, page.original);
  }
  database.drop_pages_from(static_cast<std::uint32_t>(contents.length_before / contents.page_size));
  database.sync();
}

RollbackJournal::RollbackJournal(platform::Storage& storage,
                                 const std::filesystem::path& database, JournalContents contents)
    : storage_(&storage), path_(journal_path(database)), contents_(std::move(contents)) {
  const std::vector<std::uint8_t> bytes = encode_journal(contents_);
  std::unique_ptr<platform::StorageFile> file = storage.create(path_);
  try {
    file->write_at(0, bytes);
    file->sync();
  } catch (...) {
    file.reset();
    remove();
    throw;
  }
}

bool RollbackJournal::roll_back(PageFile& database) noexcept {
  try {
    restore_pages(database, contents_);
  } catch (...) {
    return false;
  }
  remove();
  return true;
}

void RollbackJournal::remove() noexcept {
  try {
    storage_->remove(path_);
  } catch (...) {
    // See the declaration: a journal left behind is cleaned up on next open.
  }
}

}  // namespace norv::jet
