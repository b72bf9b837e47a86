#include "fuzz/database_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

#include "platform/error.h"

namespace norv::fuzz {

namespace {

// The process's own folder, removed when the process ends normally (a
// crashing input is kept by libFuzzer, not here).
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    path = std::filesystem::path(tmp != nullptr ? tmp : "/tmp") /
           ("norv-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::filesystem::path& scratch_database() {
  static const ScratchFolder folder;
  static const std::filesystem::path path = folder.path / "input.mdb";
  return path;
}

void write_scratch(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(scratch_database(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.flush()) std::abort();
}

std::vector<std::uint8_t> read_scratch() {
  std::ifstream in(scratch_database(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void require_names_scratch(const std::exception& error) {
  if (dynamic_cast<const InternalError*>(&error) != nullptr) std::abort();
  if (std::string_view(error.what()).find(scratch_database().string()) == std::string_view::npos)
    std::abort();
}

}  // namespace norv::fuzz
