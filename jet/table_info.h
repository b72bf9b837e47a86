#pragma once

// The public description of a local table (TableInfo) from its stored
// definition and column properties.

#include <map>
#include <string>
#include <string_view>

#include "jet/column_properties.h"
#include "jet/schema.h"
#include "jet/format.h"
#include "jet/table_def.h"

namespace norv::jet {

TableInfo describe_table(std::string_view name, const Format& format, const TableDef& table,
                         const std::map<std::string, ColumnProperties>& properties);

}  // namespace norv::jet
