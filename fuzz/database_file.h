#pragma once

// The fuzz input as a database file: the engine opens files by path, so each
// input is written to one scratch file of this process, under $TMPDIR.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <vector>

namespace norv::fuzz {

// The scratch file's path (the same for the whole run of one process).
const std::filesystem::path& scratch_database();

// Replaces the scratch file's contents with the bytes given.
void write_scratch(const std::uint8_t* data, std::size_t size);

// The scratch file's current contents.
std::vector<std::uint8_t> read_scratch();

// Aborts, as a crash would, unless the error's message names the scratch
// file: every refusal must tell the user which file it is about. An
// InternalError aborts too: a broken invariant is a fault however it is worded.
void require_names_scratch(const std::exception& error);

}  // namespace norv::fuzz
