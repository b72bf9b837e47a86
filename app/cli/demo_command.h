#pragma once

#include <filesystem>
#include <iosfwd>

namespace norv::app::cli {

// --create-demo DIR: builds the demo installation and says how to use it.
int create_demo(const std::filesystem::path& prefix, std::ostream& out, std::ostream& err);

}  // namespace norv::app::cli
