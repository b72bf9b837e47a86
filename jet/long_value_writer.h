#pragma once

// Memo and OLE values as the creator stores them: up to 64 bytes inline in
// the row, larger ones on LVAL pages, in one row when they fit, otherwise
// in a chain of rows.

#include <cstdint>
#include <span>
#include <vector>

#include "jet/data_page_writer.h"
#include "jet/format.h"
#include "jet/page_images.h"

namespace norv::jet {

class LongValueWriter {
 public:
  LongValueWriter(const Format& format, PageImages& pages);

  // The 12-byte field (plus inline data) the row stores for `data`.
  std::vector<std::uint8_t> store(std::span<const std::uint8_t> data);

 private:
  const Format& format_;
  DataPageWriter rows_;
};

}  // namespace norv::jet
