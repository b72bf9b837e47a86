#pragma once

#include <string>

#include "data/catalog.h"

namespace norv::stamping {

// True when the catalog's table list holds `table_name`, compared after
// upper-casing both names; every kind of entry counts and neither name is
// trimmed. The catalog's active connection must be set.
bool TableExists(const data::Catalog& catalog, const std::string& table_name);

// The upper-casing used for that comparison, the program's one case rule
// (platform/case_fold.h): names equal after it are the names Jet takes for
// one. UTF-8 in and out.
std::string upper_case_name(const std::string& name);

}  // namespace norv::stamping
