#include "fuzz/database_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace norv::fuzz {

const std::filesystem::path& scratch_database() {
  static const std::filesystem::path path = [] {
    const char* tmp = std::getenv("TMPDIR");
    auto folder = std::filesystem::path(tmp != nullptr ? tmp : "/tmp") /
                  ("norv-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder / "input.mdb";
  }();
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

}  // namespace norv::fuzz
