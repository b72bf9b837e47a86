#pragma once

// The pages an update takes before it makes the file longer: those the
// global usage map marks free, lowest first, as the file holds the map
// before the update. A page the update frees itself is marked free only by
// the update's own writes, so it is never among them: its old content is
// still what the file's old state refers to until the update is durable.
//
// A damaged file may mark free a page that is still in use. Such a page is
// skipped, not refused: the update then appends instead, which leaves the
// file no worse than it was, whereas a refusal would stop an update that
// never needed the page. Shown in use are the pages the caller names (the
// updated table's definition, maps and mapped pages), the global map's own
// pages, a table definition page, and a data page holding a row that is
// not deleted.

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

class FreePages {
 public:
  // Pages known to be in use whatever the global map says; asked once, at
  // the first take().
  using InUse = std::function<std::vector<std::uint32_t>()>;

  FreePages(PageFile& pages, const Format& format, InUse in_use);

  // The lowest free page not taken yet that nothing shows in use and
  // `may_take` accepts; nothing once there is none. A page `may_take`
  // refuses is passed over for good.
  std::optional<std::uint32_t> take(const std::function<bool(std::uint32_t)>& may_take);

 private:
  void load();
  bool shown_in_use(std::uint32_t page) const;

  PageFile* pages_;
  const Format* format_;
  InUse in_use_;
  bool loaded_ = false;
  std::vector<std::uint32_t> free_;  // ascending
  std::size_t next_ = 0;
  std::set<std::uint32_t> known_in_use_;
};

// Every page `table` is shown to use: its definition pages, the pages
// holding its usage maps (its own, its indexes', its long-value columns'),
// their bitmap pages, and every page they mark.
std::vector<std::uint32_t> pages_of_table(PageFile& pages, const Format& format,
                                          const TableDef& table);

}  // namespace norv::jet
