#pragma once

// The subcommands of jet-cli. Each lives in its own file and is listed once
// in commands.cpp; main.cpp knows none of them by name.

#include <functional>
#include <span>
#include <string_view>

#include <CLI/CLI.hpp>

namespace norv::jet_cli {

struct Command {
  std::string_view name;
  std::string_view description;
  // Declares the subcommand's arguments on `sub` and sets its callback. The
  // callback throws norv::Error (exit status 1) for a failure.
  void (*define)(CLI::App& sub);
};

std::span<const Command> commands();

}  // namespace norv::jet_cli
