#pragma once

// The public description of a local table (TableInfo) from its stored
// definition and column properties.

#include <map>
#include <string>
#include <string_view>

#include "jet/format/column_properties.h"
#include "jet/format/format.h"
#include "jet/format/table_def.h"
#include "jet/types/schema.h"

namespace norv::jet {

TableInfo describe_table(std::string_view name, const Format& format, const TableDef& table,
                         const std::map<std::string, ColumnProperties>& properties);

}  // namespace norv::jet
