#pragma once

// The databases the benchmarks run on: the shared fixtures, and copies of
// one grown to any size.

#include <cstdint>
#include <filesystem>
#include <string>

namespace norv::bench {

// A file of the shared fixtures folder ($NORV_SHARED_DIR, else the folder
// beside the checkout).
std::filesystem::path shared_fixture(const std::string& relative);

// control-text.mdb with `extra_pages` unused pages appended: the same
// tables in a much larger file. A writable copy in the temporary folder.
std::filesystem::path grown_copy(std::uint32_t extra_pages);

}  // namespace norv::bench
