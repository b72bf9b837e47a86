// norv-version-update-cli: the update command of the "Version Update"
// dialog for administrators and scripts, without a window.

#include <CLI/CLI.hpp>
#include <iostream>

#include "app/cli/commands.h"
#include "app/cli/demo_command.h"
#include "app/cli/exit_status.h"
#include "platform/console_output.h"
#include "platform/error.h"
#include "platform/path_text.h"
#include "platform/program_arguments.h"

namespace {

using namespace norv::app::cli;

bool is_four_digit_year(const std::string& text) {
  return text.size() == 4 && text.find_first_not_of("0123456789") == std::string::npos;
}

// CLI11's messages, in the tool's words where it has its own, and never
// quoting more than the start of an argument.
std::string usage_failure(const CLI::App* app, const CLI::Error& error) {
  for (const CLI::Option* option : app->get_options()) {
    if (error.get_name() == "ArgumentMismatch" && option->count() > 1 &&
        option->get_expected_max() == 1)
      return option->get_name() + " is given " + std::to_string(option->count()) +
             " times; give it once.\nRun with --help for more information.\n";
  }
  return norv::excerpt(error.what()) + "\nRun with --help for more information.\n";
}

int run(int argc, char** argv) {
  CLI::App app{
      "Writes a version number into the control tables of the Norv suite's "
      "databases, as the \"Version Update\" dialog does."};
  app.set_version_flag("--version", std::string(NORV_VERSION));
  // The same options on every platform: CLI11 would take a Windows argument
  // that starts with a slash for an option, and /Norv/system.reg is a path
  // there too (on the current drive).
  app.allow_windows_style_options(false);

  UpdateRequest request;
  InstallationOptions where;
  bool show = false;
  bool json = false;
  bool settings = false;
  std::string demo_dir;
  std::string year;
  std::string prefix, registry_file, install_dir;

  auto* fendrel =
      app.add_flag("--fendrel", request.fendrel, "Stamp the Fendrel databases (needs --year)");
  auto* dovrel = app.add_flag("--dovrel", request.dovrel, "Stamp the Dovrel databases");
  auto* brenvik = app.add_flag("--brenvik", request.brenvik, "Stamp the Brenvik databases");
  auto* year_opt =
      app.add_option("--year", year, "The year of the yearly Fendrel databases (four digits)");
  auto* version = app.add_option("--set-version", request.version,
                                 "The version text (a plain decimal number such as 1.0)");
  auto* dry = app.add_flag("--dry-run", request.dry_run,
                           "List every database a run would test and its Version values; "
                           "change nothing");
  auto* show_flag =
      app.add_flag("--show", show, "Show the Version values of every module database");
  app.add_flag("--json", json, "With --show: print JSON")->needs(show_flag);
  auto* settings_flag = app.add_flag("--show-settings", settings,
                                     "Show where the installation and its settings were found");
  auto* demo = app.add_option("--create-demo", demo_dir,
                              "Build a demo installation in a Wine-style prefix DIR and exit");
  auto* prefix_opt = app.add_option("--wine-prefix", prefix,
                                    "Read the registry and drive letters of this Wine prefix");
#ifdef _WIN32
  // Windows programs read no Wine prefix: not offered there, and refused
  // with a word of why when given.
  prefix_opt->group("");
#endif
  auto* file_opt = app.add_option("--registry-file", registry_file,
                                  "Read InstallDir from a registry export or Wine registry file");
  auto* dir_opt = app.add_option("--install-dir", install_dir,
                                 "Take DIR (a Windows path) as the installation directory");
  file_opt->excludes(dir_opt);
  show_flag->excludes(dry)->excludes(settings_flag)->excludes(demo);
  settings_flag->excludes(dry)->excludes(demo);
  dry->excludes(demo);
  // Showing changes nothing: options that only a stamping run uses would be
  // ignored without a word.
  for (CLI::Option* stamping : {fendrel, dovrel, brenvik, year_opt, version}) {
    show_flag->excludes(stamping);
    settings_flag->excludes(stamping);
    demo->excludes(stamping);
  }
  app.failure_message(usage_failure);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    int status = app.exit(error);
    return status == 0 ? kExitSummary : kExitUsage;
  }
  // The year matters to Fendrel only; the dialog ignores it otherwise.
  if (request.fendrel && !year.empty() && !is_four_digit_year(year)) {
    std::cerr << "--year takes a four-digit year, such as 2024.\n";
    return kExitUsage;
  }
  request.year = year;
  if (*demo) return create_demo(norv::platform::path_from_utf8(demo_dir), std::cout, std::cerr);
  // Paths from the program's text: a plain string would be read in the ANSI
  // code page on Windows.
  if (*prefix_opt) where.wine_prefix = norv::platform::path_from_utf8(prefix);
  if (*file_opt) where.registry_file = norv::platform::path_from_utf8(registry_file);
  if (*dir_opt) where.install_dir = install_dir;

  const bool update = !show && !settings;
  if (update && !request.fendrel && !request.dovrel && !request.brenvik) {
    std::cerr << "Tick at least one module: --fendrel, --dovrel or --brenvik (see --help).\n";
    return kExitUsage;
  }
  if (update && !request.dry_run && !*version) {
    std::cerr << "Give the version text with --set-version, such as --set-version 1.0.\n";
    return kExitUsage;
  }
  try {
    InstallationSource source(where);
    if (settings) return show_settings(source, std::cout, std::cerr);
    if (show) return show_versions(source, json, std::cout, std::cerr);
    return run_update(request, source, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return norv::app::cli::kExitError;
  }
}

}  // namespace

int main(int argc, char** argv) {
  norv::platform::ProgramTextStreams text_streams;
  try {
    norv::platform::ProgramArguments arguments(argc, argv);
    return run(arguments.argc(), arguments.argv());
  } catch (const norv::Error& error) {
    std::cerr << error.what() << '\n';
    return norv::app::cli::kExitError;
  }
}
