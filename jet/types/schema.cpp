#include "jet/types/schema.h"

namespace norv::jet {

std::string_view catalog_kind_name(CatalogKind kind) {
  switch (kind) {
    case CatalogKind::table: return "TABLE";
    case CatalogKind::system_table: return "SYSTEM TABLE";
    case CatalogKind::access_table: return "ACCESS TABLE";
    case CatalogKind::link: return "LINK";
    case CatalogKind::pass_through: return "PASS-THROUGH";
    case CatalogKind::view: return "VIEW";
  }
  return "TABLE";
}

}  // namespace norv::jet
