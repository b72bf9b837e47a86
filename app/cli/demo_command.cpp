#include "app/cli/demo_command.h"

#include <chrono>
#include <ostream>

#include "app/cli/demo_installation.h"
#include "app/cli/exit_status.h"
#include "platform/path_text.h"

namespace norv::app::cli {

namespace {

// The current year and the one before, as the dialog lists them first.
std::vector<std::string> demo_years() {
  auto today = std::chrono::year_month_day(
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
  int year = static_cast<int>(today.year());
  return {std::to_string(year), std::to_string(year - 1)};
}

}  // namespace

int create_demo(const std::filesystem::path& prefix, std::ostream& out, std::ostream& err) {
  try {
    DemoLayout layout;
    layout.years = demo_years();
    auto written = create_demo_installation(prefix, layout);
    out << "Demo installation in " << platform::utf8_of(prefix) << ": " << written.size()
        << " databases below " << platform::utf8_of(demo_installation_path(prefix)) << ".\n"
#ifdef _WIN32
        << "Try: norv-version-update-cli --install-dir \"" << demo_installation_folder(prefix)
        << "\""
#else
        << "Try: WINEPREFIX=" << prefix.string() << " norv-version-update-cli"
#endif
        << " --fendrel --dovrel --brenvik --year " << layout.years[0] << " --set-version 1.0\n";
    return kExitSummary;
  } catch (const std::exception& error) {
    err << error.what() << '\n';
    return kExitError;
  }
}

}  // namespace norv::app::cli
