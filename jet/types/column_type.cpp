#include "jet/types/column_type.h"

namespace norv::jet {

bool is_known_column_type(std::uint8_t type_byte) {
  switch (static_cast<ColumnType>(type_byte)) {
    case ColumnType::boolean:
    case ColumnType::byte:
    case ColumnType::integer:
    case ColumnType::long_integer:
    case ColumnType::currency:
    case ColumnType::single:
    case ColumnType::double_:
    case ColumnType::date_time:
    case ColumnType::binary:
    case ColumnType::text:
    case ColumnType::ole:
    case ColumnType::memo:
    case ColumnType::guid:
    case ColumnType::decimal:
      return true;
  }
  return false;
}

std::string_view column_type_name(ColumnType type) {
  switch (type) {
    case ColumnType::boolean: return "Yes/No";
    case ColumnType::byte: return "Byte";
    case ColumnType::integer: return "Integer";
    case ColumnType::long_integer: return "Long";
    case ColumnType::currency: return "Currency";
    case ColumnType::single: return "Single";
    case ColumnType::double_: return "Double";
    case ColumnType::date_time: return "Date/Time";
    case ColumnType::binary: return "Binary";
    case ColumnType::text: return "Text";
    case ColumnType::ole: return "OLE Object";
    case ColumnType::memo: return "Memo";
    case ColumnType::guid: return "GUID";
    case ColumnType::decimal: return "Decimal";
  }
  return "unknown";
}

}  // namespace norv::jet
