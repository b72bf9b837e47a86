#pragma once

// Damaged copies of fixtures: the corruption tests patch bytes of a copy
// and check that the engine refuses it cleanly.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <vector>

namespace norv::test {

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

// Overwrites bytes of `file` at `offset`.
void patch(const std::filesystem::path& file, std::uint64_t offset,
           std::initializer_list<std::uint8_t> bytes);
void patch_u16(const std::filesystem::path& file, std::uint64_t offset, std::uint16_t value);
void patch_u32(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t value);

void truncate_to(const std::filesystem::path& file, std::uint64_t size);

}  // namespace norv::test
