// jet-cli: reads and creates Jet 3 and Jet 4 databases with the tool's own engine.
// Exit status: 0 success, 1 failure (message on stderr), 2 usage error,
// 3 a fault of the tool itself (an InternalError: a broken invariant, to be
// reported), so that scripts and tests can tell it from a refusal.

#include <iostream>

#include <CLI/CLI.hpp>
#include <fmt/format.h>
#include <fmt/ostream.h>

#include "platform/console_output.h"
#include "platform/error.h"
#include "platform/program_arguments.h"
#include "tools/jet_cli/command.h"

int main(int argc, char** argv) {
  norv::platform::ProgramTextStreams text_streams;
  CLI::App app{"Reads and creates Jet 3 and Jet 4 (.mdb) databases", "jet-cli"};
  app.require_subcommand(1);
  // The same options on every platform: CLI11 would take a Windows argument
  // that starts with a slash for an option, and /data/x.mdb is a path there
  // too (on the current drive). Subcommands inherit this when they are added.
  app.allow_windows_style_options(false);
  for (const auto& command : norv::jet_cli::commands())
    command.define(*app.add_subcommand(std::string(command.name), std::string(command.description)));
  try {
    norv::platform::ProgramArguments arguments(argc, argv);
    app.parse(arguments.argc(), arguments.argv());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const norv::InternalError& e) {
    fmt::print(std::cerr, "jet-cli: {}\n", e.what());
    return 3;
  } catch (const norv::Error& e) {
    fmt::print(std::cerr, "jet-cli: {}\n", e.what());
    return 1;
  }
  return 0;
}
