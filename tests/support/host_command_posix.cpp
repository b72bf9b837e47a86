#include "tests/support/host_command.h"

namespace norv::test {

CommandResult run_host_command(const std::vector<std::string>& argv) { return run_command(argv); }

std::string host_path(const std::filesystem::path& path) { return path.string(); }

}  // namespace norv::test
