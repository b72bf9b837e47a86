#include <algorithm>
#include <ostream>
#include <set>

#include "app/cli/command_line_window.h"
#include "app/cli/commands.h"
#include "app/cli/exit_status.h"
#include "app/cli/inspection.h"
#include "app/cli/json_text.h"
#include "app/cli/progress.h"
#include "app/installation_settings.h"
#include "app/update_messages.h"
#include "platform/utf8.h"
#include "settings/private_ini.h"
#include "stamping/brenvik_databases.h"
#include "stamping/dovrel_databases.h"
#include "stamping/fendrel_databases.h"

namespace norv::app::cli {

namespace {

bool is_year_name(const std::string& name) {
  return name.size() == 4 &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The year folders below the Fendrel database directory, oldest first; one
// empty year when there is none, so that Fendrel.mdb is still looked at.
std::vector<std::string> years_present(const std::string& directory,
                                       const platform::PathMapper& paths) {
  std::vector<std::string> years;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(paths.to_native(directory), error)) {
    std::string name = entry.path().filename().string();
    if (is_year_name(name) && entry.is_directory(error)) years.push_back(name);
  }
  std::sort(years.begin(), years.end());
  if (years.empty()) years.emplace_back();
  return years;
}

// Every module's databases, looked at as a run would, changing nothing.
std::vector<InspectedFile> inspect_installation(const std::string& fendrel_directory,
                                                const std::string& brenvik_directory,
                                                const platform::PathMapper& paths,
                                                std::vector<std::string>& errors) {
  CommandLineWindow window;
  InspectionObserver inspection(paths, false);
  TerminalProgress progress(stderr);
  inspection.chain(&progress);
  const stamping::StampingContext context{window, paths, &inspection, true};
  // A module that fails is reported; the others are still shown.
  auto inspect = [&](const char* module, auto&& update) {
    inspection.set_module(module);
    try {
      update();
    } catch (const std::exception& error) {
      errors.push_back(std::string(module) + ": " + error.what());
    }
  };
  inspect("Fendrel", [&] {
    for (const std::string& year : years_present(fendrel_directory, paths)) {
      window.year = year;
      stamping::UpdateFendrelDatabases(context, fendrel_directory);
    }
  });
  inspect("Dovrel", [&] { stamping::UpdateDovrelDatabases(context, fendrel_directory); });
  inspect("Brenvik", [&] { stamping::UpdateBrenvikDatabases(context, brenvik_directory); });

  std::vector<InspectedFile> found;
  std::set<std::pair<std::string, std::string>> seen;
  for (const InspectedFile& file : inspection.files()) {
    if (file.present && seen.emplace(file.path, file.table).second) found.push_back(file);
  }
  return found;
}

std::string versions_text(const InspectedFile& file) {
  if (!file.table_found) return "(no " + file.table + " table)";
  if (!file.note.empty()) return "(" + file.note + ")";
  if (file.versions.empty()) return "(no rows)";
  std::string text;
  for (const std::string& version : file.versions) text += (text.empty() ? "" : ", ") + version;
  return text;
}

// `text` and the spaces that take it to `width` characters, at least one.
// Characters, not bytes: a letter such as ö is two bytes and one column.
std::string column(const std::string& text, std::size_t width) {
  const std::size_t length = platform::character_count(text);
  return text + std::string(length < width ? width - length : 1, ' ');
}

void print_table(const std::vector<InspectedFile>& files, std::ostream& out) {
  std::size_t path_width = 4;
  for (const InspectedFile& file : files)
    path_width = std::max(path_width, platform::character_count(file.path));
  auto row = [&](const std::string& module, const std::string& path, const std::string& table,
                 const std::string& versions) {
    out << column(module, 9) << column(path, path_width + 2) << column(table, 15) << versions
        << '\n';
  };
  row("Module", "Path", "Table", "Version");
  for (const InspectedFile& file : files)
    row(file.module, file.path, file.table, versions_text(file));
}

void print_json(const std::string& installation, const std::vector<InspectedFile>& files,
                std::ostream& out) {
  out << "{\n  \"installation_directory\": " << json_string(installation)
      << ",\n  \"databases\": [";
  for (std::size_t i = 0; i < files.size(); ++i) {
    const InspectedFile& file = files[i];
    out << (i == 0 ? "\n" : ",\n") << "    {\"module\": " << json_string(file.module)
        << ", \"path\": " << json_string(file.path)
        << ", \"native_path\": " << json_string(file.native.string())
        << ", \"table\": " << json_string(file.table)
        << ", \"table_found\": " << (file.table_found ? "true" : "false") << ", \"versions\": [";
    for (std::size_t v = 0; v < file.versions.size(); ++v)
      out << (v == 0 ? "" : ", ") << json_string(file.versions[v]);
    out << "]";
    if (!file.note.empty()) out << ", \"error\": " << json_string(file.note);
    out << "}";
  }
  out << (files.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

int show_versions(const InstallationSource& source, bool json, std::ostream& out,
                  std::ostream& err) {
  try {
    const InstallationServices services = source.services();
    const std::string directory = read_installation_directory(services.registry);
    if (directory.empty()) {
      out << kNotInstalledMessage << '\n';
      return kExitNotInstalled;
    }
    settings::CPrivateIni ini(services.profile);
    ini.FilePath(settings_file_path(directory));
    std::vector<std::string> errors;
    auto files = inspect_installation(read_fendrel_directory(ini), read_brenvik_directory(ini),
                                      source.paths(), errors);
    if (json) {
      print_json(directory, files, out);
    } else {
      print_table(files, out);
    }
    for (const std::string& error : errors) err << error << '\n';
    return errors.empty() ? kExitSummary : kExitError;
  } catch (const std::exception& error) {
    err << error.what() << '\n';
    return kExitError;
  }
}

}  // namespace norv::app::cli
