#include "tests/stamping/engine_writes.h"

#include "jet/database.h"
#include "platform/error.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::test {

bool engine_writes() {
  static const bool writes = [] {
    if (!fixtures_dir()) return false;
    TempDir dir;
    auto copy = copy_fixture("V2000/control-text.mdb", dir.path());
    try {
      jet::Database database = jet::Database::open(copy);
      database.update_column("Control", "Version", jet::Value{std::string("1.0")});
      return true;
    } catch (const NotSupportedError&) {
      return false;
    }
  }();
  return writes;
}

}  // namespace norv::test
