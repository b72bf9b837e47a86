#include "stamping/dovrel_databases.h"

#include "stamping/stamp_control_table.h"

namespace norv::stamping {

void UpdateDovrelDatabases(const StampingContext& context, const std::string& directory) {
  StampControlTable(context, directory + "\\Fendrel.mdb", kDovrelControlTable,
                    kFendrelConnectionPrefix);
  if (StampControlTable(context, directory + "\\Dovrel\\Dovrel.mdb", kControlTable,
                        kFendrelConnectionPrefix)) {
    context.window.strMsg() += " - Dovrel\r\n";
  }
}

}  // namespace norv::stamping
