// Writes damaged copies of the databases given into a folder, for the
// database fuzz targets' entry points to go through in the normal suite:
// each file truncated at every page boundary and in the middle of every
// page; in every page, single bytes flipped where page kinds keep their
// type, counts and offsets; every page but the header zeroed; every page's
// pointer field (a data page's owner, a definition's next page) aimed at
// the page itself, which makes a loop, and past the end of the file; and a
// few bytes flipped at places drawn from a fixed seed, the same each run.
//
//   damaged_databases OUTPUT_FOLDER DATABASE_OR_FOLDER...

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "jet/base/little_endian.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t page_size_of(const Bytes& file) {
  return file.size() > 0x14 && file[0x14] == 0 ? 2048 : 4096;  // Jet 3 : Jet 4
}

class Writer {
 public:
  Writer(fs::path folder, std::string stem) : folder_(std::move(folder)), stem_(std::move(stem)) {}

  void write(const Bytes& bytes, const std::string& damage) {
    std::ofstream out(folder_ / (stem_ + "." + damage + ".mdb"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ++written_;
  }
  std::size_t written() const { return written_; }

 private:
  fs::path folder_;
  std::string stem_;
  std::size_t written_ = 0;
};

void truncations(const Bytes& file, std::size_t page_size, Writer& out) {
  for (std::size_t end = 0; end < file.size(); end += page_size) {
    out.write(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(end)),
              "cut" + std::to_string(end));
    const std::size_t middle = end + page_size / 2;
    out.write(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(middle)),
              "cut" + std::to_string(middle));
  }
}

// Offsets that matter on every kind of page: the type byte, the free-space
// or definition-length field, the owner or next-page field, the row count
// or first row offset, the middle and the end of the page.
std::vector<std::size_t> sensitive_offsets(std::size_t page_size) {
  return {0, 2, 4, 8, 12, 14, page_size / 2, page_size - 2};
}

void flipped_bytes(const Bytes& file, std::size_t page_size, Writer& out) {
  for (std::size_t page = 0; page * page_size < file.size(); ++page) {
    for (std::size_t offset : sensitive_offsets(page_size)) {
      Bytes damaged = file;
      damaged[page * page_size + offset] ^= 0xFF;
      out.write(damaged, "p" + std::to_string(page) + "x" + std::to_string(offset));
    }
  }
}

void bad_page_pointers(const Bytes& file, std::size_t page_size, Writer& out) {
  const auto pages = static_cast<std::uint32_t>(file.size() / page_size);
  for (std::uint32_t page = 1; page < pages; ++page) {
    for (std::uint32_t target : {page, pages, 0x00FFFFFFu}) {
      Bytes damaged = file;
      norv::jet::le::put32(damaged.data() + page * page_size + 4, target);
      out.write(damaged, "p" + std::to_string(page) + "to" + std::to_string(target));
    }
  }
}

void zeroed_pages(const Bytes& file, std::size_t page_size, Writer& out) {
  for (std::size_t start = page_size; start < file.size(); start += page_size) {
    Bytes damaged = file;
    const std::size_t end = std::min(file.size(), start + page_size);
    std::fill(damaged.begin() + static_cast<std::ptrdiff_t>(start),
              damaged.begin() + static_cast<std::ptrdiff_t>(end), std::uint8_t{0});
    out.write(damaged, "p" + std::to_string(start / page_size) + "zero");
  }
}

// mt19937's sequence is fixed by the standard: every run, on every
// platform, damages the same bytes.
void scattered_flips(const Bytes& file, Writer& out) {
  if (file.empty()) return;
  std::mt19937 random(20261208);
  for (int variant = 0; variant < 24; ++variant) {
    Bytes damaged = file;
    for (int flip = 0; flip < 3; ++flip)
      damaged[random() % file.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
    out.write(damaged, "seeded" + std::to_string(variant));
  }
}

std::size_t damage(const fs::path& database, const fs::path& output) {
  const Bytes file = read_file(database);
  const std::size_t page_size = page_size_of(file);
  Writer out(output, database.stem().string());
  truncations(file, page_size, out);
  flipped_bytes(file, page_size, out);
  zeroed_pages(file, page_size, out);
  bad_page_pointers(file, page_size, out);
  scattered_flips(file, out);
  return out.written();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER DATABASE_OR_FOLDER...\n", argv[0]);
    return 2;
  }
  const fs::path output = argv[1];
  fs::remove_all(output);
  fs::create_directories(output);
  std::size_t written = 0;
  for (int i = 2; i < argc; ++i) {
    const fs::path source = argv[i];
    if (fs::is_regular_file(source)) written += damage(source, output);
    if (!fs::is_directory(source)) continue;
    for (const auto& entry : fs::directory_iterator(source))
      if (entry.path().extension() == ".mdb") written += damage(entry.path(), output);
  }
  std::printf("%zu damaged databases in %s\n", written, output.string().c_str());
  return written > 0 ? 0 : 1;
}
