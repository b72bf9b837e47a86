#include <ostream>
#include <sstream>

#include "app/cli/command_line_window.h"
#include "app/cli/commands.h"
#include "app/cli/console_message_boxes.h"
#include "app/cli/exit_status.h"
#include "app/cli/inspection.h"
#include "app/cli/progress.h"
#include "app/cli/recovery_notices.h"
#include "platform/path_text.h"

namespace norv::app::cli {

namespace {

void print_dry_run(const std::vector<InspectedFile>& files, std::ostream& out) {
  for (const InspectedFile& file : files) {
    // The native path only where it differs: on Windows it is the path itself.
    const std::string native = platform::utf8_of(file.native);
    out << file.path << (native == file.path ? "" : "  (" + native + ")") << '\n';
    if (!file.present) {
      out << "    absent\n";
      continue;
    }
    // No table was looked for: the file did not open, and the run stops
    // with the reason.
    if (file.table.empty()) {
      out << "    present; cannot be opened\n";
      continue;
    }
    out << "    present; table " << file.table << (file.table_found ? " found" : " not found");
    if (!file.note.empty()) out << "; " << file.note;
    for (std::size_t i = 0; i < file.versions.size(); ++i)
      out << (i == 0 ? "; Version: " : ", ") << file.versions[i];
    out << '\n';
  }
  out << "Dry run: nothing was changed. A run would report:\n";
}

}  // namespace

int run_update(const UpdateRequest& request, const InstallationSource& source, std::ostream& out,
               std::ostream& err) {
  CommandLineWindow window;
  window.fendrel = request.fendrel;
  window.dovrel = request.dovrel;
  window.brenvik = request.brenvik;
  window.year = request.year;
  window.version = request.version;

  if (const std::string problem = source.settings_file_problem(); !problem.empty())
    err << "Warning: " << problem << '\n';
  InspectionObserver inspection(source.paths(), true);
  // The listing comes first, then the message the run ends with.
  std::ostringstream messages_out;
  std::ostringstream messages_err;
  ConsoleMessageBoxes boxes(messages_out, messages_err);
  RecoveryNotices notices;
  UpdateOutcome outcome = UpdateOutcome::error;
  {
    // Wiped when it goes, before anything else is printed.
    TerminalProgress progress(stderr);
    inspection.chain(&progress);
    notices.chain(request.dry_run ? static_cast<stamping::StampObserver*>(&inspection)
                                  : &progress);
    UpdateRunOptions options;
    options.observer = &notices;
    options.dry_run = request.dry_run;
    outcome = cmdUpdate_Click(window, boxes, source.services(), options);
  }
  if (request.dry_run) print_dry_run(inspection.files(), out);
  notices.print(err);
  out << messages_out.str();
  err << messages_err.str();
  return exit_status_of(outcome);
}

}  // namespace norv::app::cli
