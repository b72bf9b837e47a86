#pragma once

// The JSON description `jet-cli create` reads:
//
//   {"format": "jet4",                       "jet3" or "jet4"
//    "code_page": 1252,                      Jet 3 text, optional
//    "tables": [{"name": "Control",
//                "columns": [{"name": "ID", "type": "Long", "autonumber": false},
//                            {"name": "Version", "type": "Text", "size": 50,
//                             "compressed_unicode": true, "required": false}],
//                "indexes": [{"name": "PrimaryKey", "columns": ["ID"],
//                             "primary_key": true, "unique": true}],
//                "rows": [[1, "0.9"], {"ID": 2, "Version": "1.0"}]}],
//    "links": [{"name": "Remote", "database": "other.mdb", "foreign_name": "Control",
//               "connect": ""}],
//    "select_queries": [{"name": "AllControl", "table": "Control"}]}
//
// Column types by the names jet-cli schema prints ("Text", "Long",
// "Yes/No", "Date/Time", "OLE Object", ...) or "Boolean", "DateTime", "OLE".
// Row values: JSON null, booleans, numbers (Currency and Decimal also as
// strings, for exact digits; Currency rounded half to even to 4 decimals), text, dates as ISO 8601 text, Binary and OLE
// as hex text, GUIDs as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "jet/create/creator.h"

namespace norv::jet_cli {

// Throws InvalidArgumentError naming `source` (the description's file) and
// the place in the description that is wrong.
jet::DatabaseSpec parse_database_description(const nlohmann::json& description,
                                             std::string_view source);

}  // namespace norv::jet_cli
