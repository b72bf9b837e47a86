#include "stamping/table_exists.h"

#include "platform/case_fold.h"

namespace norv::stamping {

std::string upper_case_name(const std::string& name) { return platform::to_upper_case(name); }

bool TableExists(const data::Catalog& catalog, const std::string& table_name) {
  const std::string wanted = upper_case_name(table_name);
  for (const std::string& name : catalog.table_names()) {
    if (upper_case_name(name) == wanted) return true;
  }
  return false;
}

}  // namespace norv::stamping
