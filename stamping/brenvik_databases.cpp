#include "stamping/brenvik_databases.h"

#include <cstdint>
#include <optional>

#include "data/recordset.h"
#include "stamping/company_number.h"
#include "stamping/folder_snapshot.h"
#include "stamping/stamp_control_table.h"

namespace norv::stamping {

namespace {

// Runs the query on the kept connection; the recordset is released before
// the caller releases the connection.
std::optional<std::int16_t> highest_company_number(std::shared_ptr<data::Connection> connection,
                                                   const std::string& path) {
  data::Recordset recordset;
  recordset.set_cursor_location(data::Recordset::adUseClient);
  recordset.open(kHighestCompanyQuery, std::move(connection), 2, 1, -1);
  if (recordset.record_count() <= 0) return std::int16_t{0};
  return company_number_from(recordset.field_value(0), path);
}

}  // namespace

void UpdateBrenvikDatabases(const StampingContext& context, const std::string& directory) {
  const std::string company_path = directory + "\\Company.mdb";
  auto connection = StampControlTableKeepingConnection(context, company_path, kControlTable,
                                                       kBrenvikConnectionPrefix);
  if (connection == nullptr) return;
  std::optional<std::int16_t> highest = highest_company_number(connection, company_path);
  connection.reset();
  // Up to 32768 existence tests in one folder: the absent names are known
  // from one listing of it.
  const FolderSnapshot snapshot(context.paths, directory);
  StampingContext loop_context = context;
  loop_context.snapshot = &snapshot;
  // A wider counter: the pass for 32767 is the last one, with no overflow.
  for (std::int32_t number = 0; highest && number <= *highest; ++number) {
    StampControlTable(loop_context,
                      directory + "\\" + company_database_name(static_cast<std::int16_t>(number)),
                      kControlTable, kBrenvikConnectionPrefix);
  }
  context.window.strMsg() += " - Brenvik";
}

}  // namespace norv::stamping
