#pragma once

// The rows of one table, as a table scan sees them: the owned-pages map in
// ascending order, only data pages whose owner is the table's definition
// page (a map may list other pages), no deleted or hidden slot, overflow
// pointers followed.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "jet/base/format_fault.h"
#include "jet/format/data_page.h"
#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/format/text_codec.h"
#include "jet/pager/page_file.h"
#include "jet/types/value.h"

namespace norv::jet {

// `header` is the slot a table's indexes refer to; `body` is where the row's
// bytes are (another page's hidden row when the header is an overflow
// pointer).
struct StoredRow {
  RowPointer header;
  RowBody body;
};

void for_each_stored_row(PageFile& pages, const Format& format, const TableDef& table,
                         const std::function<void(const StoredRow&)>& visit);

// A table's rows as values, in TableDef::columns order. `table_name` names
// the row in error messages, with the file the text codec names.
class TableReader {
 public:
  TableReader(PageFile& pages, const Format& format, const TextCodec& text)
      : pages_(pages), format_(format), text_(text) {}

  // Memo values decoded to text, OLE values to Binary.
  void for_each_row(const TableDef& table, std::string_view table_name,
                    const std::function<void(std::vector<Value>&)>& visit) const;

  // Memo and OLE values left as Binary holding the raw long-value field, for
  // callers that resolve only the ones they need (long_value()).
  void for_each_raw_row(const TableDef& table, std::string_view table_name,
                        const std::function<void(std::vector<Value>&, const RowOrigin&)>& visit)
      const;

  // The stored bytes of a raw long-value field (Memo: still encoded text).
  std::vector<std::uint8_t> long_value(std::span<const std::uint8_t> raw_field,
                                       const RowOrigin& origin) const;

  PageFile& pages() const { return pages_; }
  const Format& format() const { return format_; }
  const TextCodec& text() const { return text_; }

 private:
  void resolve_long_values(const TableDef& table, const RowOrigin& origin,
                           std::vector<Value>& values) const;

  PageFile& pages_;
  const Format& format_;
  const TextCodec& text_;
};

}  // namespace norv::jet
