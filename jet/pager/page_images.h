#pragma once

// The pages of a database being built in memory, numbered from 0. Every
// page is allocated zero-filled and complete; nothing is written to a file
// until the whole database is built.

#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

namespace norv::jet {

class PageImages {
 public:
  explicit PageImages(std::uint32_t page_size) : page_size_(page_size) {}
  // At most `max_pages` pages: allocating one more first calls `refuse`,
  // which throws, so that a database too large is refused while it is
  // being built rather than once it is all in memory.
  PageImages(std::uint32_t page_size, std::uint32_t max_pages, std::function<void()> refuse)
      : page_size_(page_size), max_pages_(max_pages), refuse_(std::move(refuse)) {}

  std::uint32_t page_size() const { return page_size_; }
  std::uint32_t count() const { return static_cast<std::uint32_t>(pages_.size()); }

  // A new zero-filled page at the end; returns its number.
  std::uint32_t allocate() {
    if (count() >= max_pages_ && refuse_) refuse_();
    pages_.emplace_back(page_size_, 0);
    return count() - 1;
  }

  std::vector<std::uint8_t>& operator[](std::uint32_t number) { return pages_.at(number); }
  const std::vector<std::uint8_t>& operator[](std::uint32_t number) const {
    return pages_.at(number);
  }

 private:
  std::uint32_t page_size_;
  std::uint32_t max_pages_ = std::numeric_limits<std::uint32_t>::max();
  std::function<void()> refuse_;
  std::vector<std::vector<std::uint8_t>> pages_;
};

}  // namespace norv::jet
