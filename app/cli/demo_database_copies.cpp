// Demo databases as copies of the real-format fixture files, used while the
// engine cannot create databases of its own.

#include <filesystem>

#include "app/cli/demo_installation.h"
#include "platform/error.h"

namespace norv::app::cli {

void write_demo_database(const DemoDatabase& database) {
  const std::filesystem::path fixtures = NORV_DEMO_FIXTURES;
  const char* name = database.dovrel_control             ? "fendrel.mdb"
                     : !database.company_numbers.empty() ? "company.mdb"
                                                         : "control-text.mdb";
  std::error_code error;
  std::filesystem::copy_file(fixtures / name, database.path, error);
  if (error) {
    throw NotSupportedError("Cannot build the demo database " + database.path.string() +
                            ": this build makes demo databases from " + (fixtures / name).string() +
                            " (" + error.message() + "); place the shared fixtures there.");
  }
  std::filesystem::permissions(database.path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

}  // namespace norv::app::cli
