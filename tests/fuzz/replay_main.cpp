// Runs a fuzz target's entry point, built without libFuzzer, over files:
// every crashing input a fuzzer ever found stays in tests/fuzz/regressions/
// and goes through the same code in the normal test suite. A crash, an
// abort or a sanitizer report fails the test; so does finding no input.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int replay(const fs::path& path) {
  std::vector<std::uint8_t> bytes = read_file(path);
  std::printf("%s (%zu bytes)\n", path.string().c_str(), bytes.size());
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 1;
}

}  // namespace

// Arguments: files or folders (read recursively); a missing folder is
// skipped, so optional inputs such as the shared fixtures may be named.
int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg = argv[i];
    if (fs::is_regular_file(arg)) {
      inputs += replay(arg);
    } else if (fs::is_directory(arg)) {
      for (const auto& entry : fs::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file() && entry.path().filename() != "README.md") {
          inputs += replay(entry.path());
        }
      }
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return inputs > 0 ? 0 : 1;
}
