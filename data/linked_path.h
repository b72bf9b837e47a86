#pragma once

// Where a linked table's rows live. A link stores the source database's
// path as the linking program wrote it: absolute ("C:\Data\x.mdb",
// "\\server\share\x.mdb"), rooted ("\Data\x.mdb": the drive or share of the
// linking database) or relative to the linking database's folder
// ("x.mdb", "..\Shared\x.mdb"). Both paths are Windows paths; the result is
// mapped to a native path like any other.

#include <optional>
#include <string>
#include <string_view>

namespace norv::data {

// nullopt for a drive-relative path ("C:x.mdb"), whose meaning depends on a
// current folder this tool does not have.
std::optional<std::string> resolve_linked_database_path(std::string_view linking_database,
                                                        std::string_view stored);

}  // namespace norv::data
