#include "jet/pager/page_file.h"

#include <algorithm>

#include <fmt/format.h>

#include "jet/base/format_fault.h"

namespace norv::jet {

PageFile PageFile::open(const std::filesystem::path& path, platform::FileMode mode,
                        platform::Storage& storage) {
  return PageFile(storage.open(path, mode));
}

PageFile::PageFile(std::unique_ptr<platform::StorageFile> file)
    : file_(std::move(file)), file_size_(file_->size()) {}

std::vector<std::uint8_t> PageFile::read_front(std::size_t max_bytes) {
  std::vector<std::uint8_t> bytes(
      static_cast<std::size_t>(std::min<std::uint64_t>(max_bytes, file_size_)));
  file_->read_at(0, bytes);
  ++stats_.pages_read;
  stats_.bytes_read += bytes.size();
  return bytes;
}

void PageFile::set_page_size(std::uint32_t page_size) {
  page_size_ = page_size;
  page_count_ = static_cast<std::uint32_t>(file_size_ / page_size);
  kept_.clear();
}

void PageFile::set_encoding(PageEncoding encoding) {
  encoding_ = encoding;
  kept_.clear();
}

Page PageFile::page(std::uint32_t number) {
  if (number >= page_count_)
    throw_format_fault(fmt::format("page {} is beyond the end of the file ({} pages)", number,
                                   page_count_));
  if (auto kept = kept_.find(number); kept != kept_.end()) return Page(number, kept->second);
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(page_size_);
  file_->read_at(std::uint64_t{number} * page_size_, *bytes);
  encoding_.decode(number, *bytes);
  ++stats_.pages_read;
  stats_.bytes_read += page_size_;
  if (kept_.size() >= max_kept_pages) kept_.clear();
  kept_.emplace(number, bytes);
  return Page(number, std::move(bytes));
}

void PageFile::end_operation() { kept_.clear(); }

void PageFile::write_page(std::uint32_t number, std::span<const std::uint8_t> bytes) {
  if (bytes.size() != page_size_ || number > page_count_)
    throw InvalidArgumentError(fmt::format("{}: page {} ({} bytes) cannot be written there",
                                           path().string(), number, bytes.size()));
  const std::uint64_t offset = std::uint64_t{number} * page_size_;
  if (encoding_.encoded()) {
    encoded_.assign(bytes.begin(), bytes.end());
    encoding_.encode(number, encoded_);
    file_->write_at(offset, encoded_);
  } else {
    file_->write_at(offset, bytes);
  }
  ++stats_.pages_written;
  if (number == page_count_) {
    ++page_count_;
    file_size_ += page_size_;
  }
  kept_.insert_or_assign(number,
                         std::make_shared<std::vector<std::uint8_t>>(bytes.begin(), bytes.end()));
}

void PageFile::drop_pages_from(std::uint32_t number) {
  // Also a part of a page past them: a write cut short by a power loss.
  if (std::uint64_t{number} * page_size_ >= file_size_) return;
  file_->truncate(std::uint64_t{number} * page_size_);
  page_count_ = number;
  file_size_ = std::uint64_t{number} * page_size_;
  std::erase_if(kept_, [number](const auto& kept) { return kept.first >= number; });
}

void PageFile::sync() { file_->sync(); }

}  // namespace norv::jet
