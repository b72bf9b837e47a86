#include "app/cli/recovery_notices.h"

#include "data/connection.h"

namespace norv::app::cli {

void RecoveryNotices::file_tested(const std::string& path, bool present) {
  if (next_ != nullptr) next_->file_tested(path, present);
}

void RecoveryNotices::table_looked_up(const std::string& path, const std::string& table,
                                      bool found, data::Connection& connection) {
  if (connection.database().restored_interrupted_update())
    lines_ += path + ": restored from an interrupted update\n";
  if (next_ != nullptr) next_->table_looked_up(path, table, found, connection);
}

}  // namespace norv::app::cli
