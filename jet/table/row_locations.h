#pragma once

// Where each live row of a table is: its header slot (what indexes point
// at) and the slot holding its body (the same slot, or the hidden overflow
// row its header points at). Pages are taken from the owned-pages map in
// ascending order, keeping only data pages the table owns.

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/pager/page_file.h"

namespace norv::jet {

struct RowLocation {
  RowPointer header;
  RowPointer body;
  bool overflowed() const { return !(header == body); }
};

struct TableRows {
  std::vector<std::uint32_t> pages;          // the table's data pages, ascending
  std::vector<RowLocation> rows;             // in scan order
  std::vector<std::uint32_t> foreign_pages;  // listed by the map, not its data pages
};

// Throws FormatFault for a map or page the reader would refuse, and for an
// overflow pointer that does not lead to a hidden row of the same table.
TableRows locate_rows(PageFile& pages, const Format& format, const TableDef& table);

// What makes a table too damaged to write to, or empty when nothing does:
// its page map lists a page that is not one of its data pages (a page
// zeroed or given to another table), or its definition counts other than
// the live rows found. A scan would pass over such damage in silence, and
// an update would report rows it never saw as stamped.
std::string table_damage(const TableRows& rows, const TableDef& table);

}  // namespace norv::jet
