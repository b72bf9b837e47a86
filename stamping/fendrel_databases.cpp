#include "stamping/fendrel_databases.h"

#include "stamping/stamp_control_table.h"

namespace norv::stamping {

namespace {

bool stamp_fendrel_file(const StampingContext& context, const std::string& path) {
  return StampControlTable(context, path, kControlTable, kFendrelConnectionPrefix);
}

}  // namespace

void UpdateFendrelDatabases(const StampingContext& context, const std::string& directory) {
  UpdaterWindow& window = context.window;
  if (stamp_fendrel_file(context, directory + "\\Fendrel.mdb")) {
    window.strMsg() = " - Fendrel\r\n";
  }
  for (const char* letter : {"I", "P", "S", "T"}) {
    // The year text is read where it is used: for the folder, for the file
    // name and for the summary line.
    std::string path =
        directory + "\\" + window.year_text() + "\\" + letter + window.year_text() + ".mdb";
    if (stamp_fendrel_file(context, path)) {
      window.strMsg() += std::string(" - ") + letter + window.year_text() + "\r\n";
    }
  }
}

}  // namespace norv::stamping
